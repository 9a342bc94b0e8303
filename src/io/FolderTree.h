// The folder tree of the open page: the file system's root, the home folder
// and the mounted volumes at the top, folders loaded as they are expanded.
// Loaded folders are watched, so folders made, renamed or removed elsewhere
// show at once; a hidden folder appears when something inside it is
// selected.
#pragma once

#include <QFileSystemWatcher>
#include <QHash>
#include <QPersistentModelIndex>
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
    // The folder at a point of the viewport, empty where there is none.
    QString FolderAt(const QPoint& at) const;

signals:
    void FolderSelected(const QString& path);

private:
    // sorted: among the siblings by name, else last.
    QStandardItem* AddFolderItem(QStandardItem* parent, const QString& name, const QString& path,
                                 bool sorted);
    void LoadChildren(QStandardItem* item);
    // The child of item on the way to target, added when the tree lacks it
    // (made since the folder was read, or hidden).
    QStandardItem* ChildTowards(QStandardItem* item, const QString& target);
    // Brings a loaded folder's children in line with the disk.
    void Refresh(const QString& folder);
    void Forget(QStandardItem* item);

    QStandardItemModel model_;
    QFileSystemWatcher watcher_;
    QHash<QString, QPersistentModelIndex> loaded_; // watched folder -> its item
};
