#include "io/SaveDialog.h"

#include "imagora/DibWriter.h"
#include "toolkit/MessageBox.h"
#include "toolkit/ModalDialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace {

struct SaveFormat {
    QString filter; // "PNG-Bild (*.png)"
    QStringList suffixes;
};

// The writers' "Description (masks)|masks|..." as file dialog filters.
QList<SaveFormat> SaveFormats()
{
    QList<SaveFormat> formats;
    const QStringList parts = QString::fromUtf8(GetDIBSaveFilter()).split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        SaveFormat f{QString(parts[i]).replace(QLatin1Char(';'), QLatin1Char(' ')), {}};
        for (const QString& mask : parts[i + 1].split(QLatin1Char(';')))
            f.suffixes << mask.mid(2); // "*.png" -> "png"
        formats << f;
    }
    return formats;
}

} // namespace

std::string AskSaveFileName(QWidget* parent, const std::string& suggested)
{
    const QList<SaveFormat> formats = SaveFormats();
    QStringList filters;
    for (const SaveFormat& f : formats)
        filters << f.filter;
    QFileInfo start(QFile::decodeName(suggested.c_str()));
    // The opened file's format when it can be written, else PNG, which loses nothing.
    qsizetype chosen = 1;
    for (qsizetype i = 0; i < formats.size(); ++i)
        if (formats[i].suffixes.contains(start.suffix().toLower()))
            chosen = i;
    QString name = suggested.empty() ? QStringLiteral("Bild") : start.completeBaseName();
    name += QLatin1Char('.') + formats[chosen].suffixes.first();
    const QString folder = suggested.empty() ? QDir::homePath() : start.absolutePath();

    QFileDialog dialog(parent, QStringLiteral("Bild speichern unter"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // asked below, in German
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("&Speichern"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters[chosen]);
    dialog.setDefaultSuffix(formats[chosen].suffixes.first());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        const qsizetype i = filters.indexOf(filter);
        if (i >= 0)
            dialog.setDefaultSuffix(formats[i].suffixes.first());
    });
    dialog.setDirectory(folder);
    dialog.selectFile(name);
    for (;;) {
        if (ShowModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        const QString path = dialog.selectedFiles().first();
        if (!QFileInfo::exists(path) ||
            MessageBox("Die Datei „" + QFileInfo(path).fileName().toStdString() +
                           "“ gibt es schon.\nSoll sie ersetzt werden?",
                       "Bild speichern unter", MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
            return QFile::encodeName(path).toStdString();
    }
}
