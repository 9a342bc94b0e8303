// The folder tree of the open page: the file system's root, the home folder
// and the mounted volumes at the top, folders loaded as they are expanded.
#pragma once

#include <QStandardItemModel>
#include <QTreeView>

class FolderTree final : public QTreeView {
    Q_OBJECT
public:
    explicit FolderTree(QWidget* parent = nullptr);

    // Selects the folder (expanding the way to it from the best-fitting top
    // entry); false when it does not exist.
    bool SelectFolder(const QString& path);
    // The selected folder's path, empty when none is selected.
    QString SelectedFolder() const;

signals:
    void FolderSelected(const QString& path);

private:
    QStandardItem* AddFolderItem(QStandardItem* parent, const QString& name, const QString& path);
    void LoadChildren(QStandardItem* item);

    QStandardItemModel model_;
};
