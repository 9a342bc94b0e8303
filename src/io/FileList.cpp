#include "io/FileList.h"

#include <QDateTime>
#include <QLocale>

namespace {
const QLocale& German()
{
    static const QLocale german(QLocale::German, QLocale::Germany);
    return german;
}
} // namespace

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
