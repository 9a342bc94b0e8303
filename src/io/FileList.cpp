#include "io/FileList.h"

#include <QDateTime>
#include <QFileIconProvider>
#include <QLocale>
#include <QMimeDatabase>

namespace {
const QLocale& German()
{
    static const QLocale german(QLocale::German, QLocale::Germany);
    return german;
}

QMimeType TypeByName(const QFileInfo& info)
{
    return QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
}

// Icons and type names from a file's name alone. Telling them from the
// contents reads every listed file on the window's thread, and a read of
// /proc/kmsg, a FIFO or a file on a hung network share may never return.
class NameOnlyIconProvider final : public QFileIconProvider {
public:
    using QFileIconProvider::icon;

    QIcon icon(const QFileInfo& info) const override
    {
        if (info.isDir())
            return icon(Folder);
        const QMimeType type = TypeByName(info);
        return QIcon::fromTheme(type.iconName(),
                                QIcon::fromTheme(type.genericIconName(), icon(File)));
    }

    QString type(const QFileInfo& info) const override
    {
        if (info.isDir()) // the base class reads the contents of files only
            return QFileIconProvider::type(info);
        const QMimeType type = TypeByName(info);
        return type.comment().isEmpty() ? type.name() : type.comment();
    }
};
} // namespace

QString FileList::FolderAt(const QPoint& at) const
{
    const auto* files = static_cast<const QFileSystemModel*>(model());
    const QModelIndex item = indexAt(at);
    return files->filePath(item.isValid() && files->isDir(item) ? item : rootIndex());
}

FileListModel::FileListModel(QObject* parent) : QFileSystemModel(parent)
{
    // One for all lists, outliving each model's background thread.
    static NameOnlyIconProvider icons;
    setIconProvider(&icons);
    // Without QDir::System: no devices, FIFOs, sockets or dangling links.
    setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const kHeaders[] = {"Name", "Größe", "Typ", "Änderungsdatum"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4)
        return QString::fromUtf8(kHeaders[section]);
    return QFileSystemModel::headerData(section, orientation, role);
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::DisplayRole && index.column() == 1)
        return isDir(index)
                   ? QString()
                   : German().formattedDataSize(size(index), 1, QLocale::DataSizeTraditionalFormat);
    if (role == Qt::ToolTipRole && index.column() == 0)
        return fileName(index); // shown whole where the column cuts it short
    if (role == Qt::DisplayRole && index.column() == 3)
        return German().toString(lastModified(index), QLocale::ShortFormat);
    return QFileSystemModel::data(index, role);
}
