#include "io/FolderTree.h"

#include <QDir>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QScrollBar>
#include <QStorageInfo>

namespace {
constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kLoadedRole = Qt::UserRole + 2;

QString Normalised(const QString& path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

bool IsInside(const QString& folder, const QString& root)
{
    return root == QLatin1String("/") || folder == root ||
           folder.startsWith(root + QLatin1Char('/'));
}

QString PathOf(const QStandardItem* item)
{
    return item->data(kPathRole).toString();
}

QString ChildPath(const QString& folder, const QString& name)
{
    return folder == QLatin1String("/") ? folder + name : folder + QLatin1Char('/') + name;
}

// The folders a folder shows; hidden ones come in only on the way to a
// selected folder (ChildTowards).
QStringList ShownSubfolders(const QString& folder)
{
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
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
    AddFolderItem(root, QStringLiteral("/"), QStringLiteral("/"), false);
    AddFolderItem(root, QDir::home().dirName(), Normalised(QDir::homePath()), false);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString mount = volume.rootPath();
        // Real volumes only: the system's own mounts would drown them.
        if (mount == QLatin1String("/") || !volume.isReady() ||
            !(mount.startsWith(QLatin1String("/media/")) ||
              mount.startsWith(QLatin1String("/mnt/")) ||
              mount.startsWith(QLatin1String("/run/media/"))))
            continue;
        AddFolderItem(root, volume.displayName(), mount, false);
    }
    connect(this, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { LoadChildren(model_.itemFromIndex(index)); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    emit FolderSelected(current.data(kPathRole).toString());
            });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &FolderTree::Refresh);
}

QStandardItem* FolderTree::AddFolderItem(QStandardItem* parent, const QString& name,
                                         const QString& path, bool sorted)
{
    static const QFileIconProvider icons;
    auto* item = new QStandardItem(icons.icon(QFileIconProvider::Folder), name);
    item->setData(path, kPathRole);
    item->setData(false, kLoadedRole);
    item->setToolTip(path); // the whole path, however deep the folder sits
    item->setEditable(false);
    // A placeholder child makes the folder expandable until it is loaded.
    item->appendRow(new QStandardItem);
    int row = parent->rowCount();
    if (sorted) // among its siblings as the folder's listing has them
        for (row = 0; row < parent->rowCount() &&
                      parent->child(row)->text().compare(name, Qt::CaseInsensitive) < 0;)
            ++row;
    parent->insertRow(row, item);
    return item;
}

void FolderTree::LoadChildren(QStandardItem* item)
{
    if (!item || item->data(kLoadedRole).toBool())
        return;
    item->setData(true, kLoadedRole);
    item->removeRows(0, item->rowCount());
    const QString folder = PathOf(item);
    for (const QString& name : ShownSubfolders(folder))
        AddFolderItem(item, name, ChildPath(folder, name), false);
    loaded_.insert(folder, QPersistentModelIndex(item->index()));
    watcher_.addPath(folder);
}

void FolderTree::Forget(QStandardItem* item)
{
    for (int i = 0; i < item->rowCount(); ++i)
        Forget(item->child(i));
    const QString folder = PathOf(item);
    if (loaded_.remove(folder))
        watcher_.removePath(folder);
}

void FolderTree::Refresh(const QString& folder)
{
    const QPersistentModelIndex index = loaded_.value(folder);
    QStandardItem* item = index.isValid() ? model_.itemFromIndex(index) : nullptr;
    if (!item)
        return;
    const QString selected = SelectedFolder();
    bool selectionGone = false;
    for (int i = item->rowCount(); i-- > 0;) {
        QStandardItem* child = item->child(i);
        if (QFileInfo(PathOf(child)).isDir())
            continue;
        selectionGone = selectionGone || IsInside(selected, PathOf(child));
        Forget(child);
        item->removeRow(i);
    }
    QStringList present;
    for (int i = 0; i < item->rowCount(); ++i)
        present << item->child(i)->text();
    for (const QString& name : ShownSubfolders(folder))
        if (!present.contains(name))
            AddFolderItem(item, name, ChildPath(folder, name), true);
    if (selectionGone) {
        // the nearest folder still there
        QString parent = selected;
        while (!QFileInfo(parent).isDir() && parent != QLatin1String("/"))
            parent = QFileInfo(parent).path();
        SelectFolder(parent);
    }
}

QStandardItem* FolderTree::ChildTowards(QStandardItem* item, const QString& target)
{
    for (int i = 0; i < item->rowCount(); ++i)
        if (IsInside(target, PathOf(item->child(i))))
            return item->child(i);
    const QString folder = PathOf(item);
    const QString rest = target.mid(folder == QLatin1String("/") ? 1 : folder.size() + 1);
    const QString name = rest.section(QLatin1Char('/'), 0, 0);
    if (name.isEmpty() || !QFileInfo(ChildPath(folder, name)).isDir())
        return nullptr;
    return AddFolderItem(item, name, ChildPath(folder, name), true);
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
        const QString root = PathOf(top);
        if (IsInside(target, root) && (!best || root.size() > PathOf(best).size()))
            best = top;
    }
    if (!best)
        return false;
    QStandardItem* item = best;
    while (PathOf(item) != target) {
        LoadChildren(item);
        QStandardItem* next = ChildTowards(item, target);
        if (!next)
            return false;
        setExpanded(item->index(), true);
        item = next;
    }
    setCurrentIndex(item->index());
    scrollTo(item->index());
    // Sideways too, so the chosen folder's name shows from its start.
    const QRect shown = visualRect(item->index());
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + shown.left() - indentation());
    return true;
}

QString FolderTree::SelectedFolder() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.data(kPathRole).toString() : QString();
}

QString FolderTree::FolderAt(const QPoint& at) const
{
    return indexAt(at).data(kPathRole).toString();
}
