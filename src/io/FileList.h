// The open page's file list: a report view that can tell whether the user is
// renaming an item, over a file system model that speaks German whatever the
// system's language.
#pragma once

#include <QFileSystemModel>
#include <QTreeView>

class FileList final : public QTreeView {
public:
    using QTreeView::QTreeView;
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }
};

class FileListModel final : public QFileSystemModel {
public:
    using QFileSystemModel::QFileSystemModel;
    // Name, size, type, date: German headers; sizes and dates in German form;
    // a name's tooltip is the whole name.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};
