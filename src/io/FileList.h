// The open page's file list: a report view that can tell whether the user is
// renaming an item, over a file system model that speaks German whatever the
// system's language and never reads a file to show it.
#pragma once

#include <QFileSystemModel>
#include <QTreeView>

class FileList final : public QTreeView {
public:
    using QTreeView::QTreeView;
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }
    // The folder a right click at a point of the viewport means: the folder
    // under it, else the folder the list shows; empty when it shows none.
    QString FolderAt(const QPoint& at) const;
};

class FileListModel final : public QFileSystemModel {
public:
    // Lists folders and regular files only (and links to them): devices,
    // FIFOs and sockets are no pictures and may block whoever opens them.
    // Icons and types come from the names.
    explicit FileListModel(QObject* parent = nullptr);
    // Name, size, type, date: German headers; sizes and dates in German form;
    // a name's tooltip is the whole name.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};
