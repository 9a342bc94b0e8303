#include "toolkit/GermanInterface.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

const QLocale& German()
{
    static const QLocale german(QLocale::German, QLocale::Germany);
    return german;
}

// The dialog's own file model seen through German sizes and dates; sorting
// and everything else stay the model's.
class GermanFileDetails final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        const QModelIndex source = mapToSource(index);
        if (files && role == Qt::DisplayRole && index.column() == 1)
            return files->isDir(source) ? QString() : GermanFileSize(files->size(source));
        if (files && role == Qt::DisplayRole && index.column() == 3)
            return GermanFileTime(files->lastModified(source));
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

bool InstallGermanInterface(QCoreApplication& application)
{
    QLocale::setDefault(German());
    auto* translator = new QTranslator(&application);
    if (!translator->load(German(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

QString GermanFileSize(qint64 bytes)
{
    return German().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

QString GermanFileTime(const QDateTime& time)
{
    return German().toString(time, QLocale::ShortFormat);
}

void UseGermanFileDetails(QFileDialog& dialog)
{
    dialog.setProxyModel(new GermanFileDetails(&dialog));
}
