#include "io/FolderTree.h"

#include <QDir>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QStorageInfo>

namespace {
constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kLoadedRole = Qt::UserRole + 2;

QString Normalised(const QString& path)
{
    QString clean = QDir::cleanPath(QDir(path).absolutePath());
    return clean;
}

bool IsInside(const QString& folder, const QString& root)
{
    return root == QLatin1String("/") || folder == root ||
           folder.startsWith(root + QLatin1Char('/'));
}
} // namespace

FolderTree::FolderTree(QWidget* parent) : QTreeView(parent)
{
    setModel(&model_);
    setHeaderHidden(true);
    // deep folders scroll sideways instead of being cut short
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStandardItem* root = model_.invisibleRootItem();
    AddFolderItem(root, QStringLiteral("/"), QStringLiteral("/"));
    AddFolderItem(root, QDir::home().dirName(), Normalised(QDir::homePath()));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString mount = volume.rootPath();
        // Real volumes only: the system's own mounts would drown them.
        if (mount == QLatin1String("/") || !volume.isReady() ||
            !(mount.startsWith(QLatin1String("/media/")) ||
              mount.startsWith(QLatin1String("/mnt/")) ||
              mount.startsWith(QLatin1String("/run/media/"))))
            continue;
        AddFolderItem(root, volume.displayName(), mount);
    }
    connect(this, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { LoadChildren(model_.itemFromIndex(index)); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    emit FolderSelected(current.data(kPathRole).toString());
            });
}

QStandardItem* FolderTree::AddFolderItem(QStandardItem* parent, const QString& name,
                                         const QString& path)
{
    static const QFileIconProvider icons;
    auto* item = new QStandardItem(icons.icon(QFileIconProvider::Folder), name);
    item->setData(path, kPathRole);
    item->setData(false, kLoadedRole);
    item->setEditable(false);
    // A placeholder child makes the folder expandable until it is loaded.
    item->appendRow(new QStandardItem);
    parent->appendRow(item);
    return item;
}

void FolderTree::LoadChildren(QStandardItem* item)
{
    if (!item || item->data(kLoadedRole).toBool())
        return;
    item->setData(true, kLoadedRole);
    item->removeRows(0, item->rowCount());
    const QDir dir(item->data(kPathRole).toString());
    for (const QFileInfo& sub :
         dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        AddFolderItem(item, sub.fileName(), sub.absoluteFilePath());
}

bool FolderTree::SelectFolder(const QString& path)
{
    const QString target = Normalised(path);
    if (!QFileInfo(target).isDir())
        return false;
    // The top entry that holds the folder most closely.
    QStandardItem* best = nullptr;
    for (int i = 0; i < model_.rowCount(); ++i) {
        QStandardItem* top = model_.item(i);
        const QString root = top->data(kPathRole).toString();
        if (IsInside(target, root) &&
            (!best || root.size() > best->data(kPathRole).toString().size()))
            best = top;
    }
    if (!best)
        return false;
    QStandardItem* item = best;
    while (item->data(kPathRole).toString() != target) {
        LoadChildren(item);
        QStandardItem* next = nullptr;
        for (int i = 0; i < item->rowCount() && !next; ++i)
            if (IsInside(target, item->child(i)->data(kPathRole).toString()))
                next = item->child(i);
        if (!next)
            return false;
        setExpanded(item->index(), true);
        item = next;
    }
    setCurrentIndex(item->index());
    scrollTo(item->index());
    return true;
}

QString FolderTree::SelectedFolder() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.data(kPathRole).toString() : QString();
}
