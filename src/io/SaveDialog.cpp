#include "io/SaveDialog.h"

#include "io/SaveSuggestion.h"
#include "toolkit/GermanInterface.h"
#include "toolkit/MessageBox.h"
#include "toolkit/ModalDialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace {

// "PNG-Bild (*.png)": the extension offered first leads, so that choosing a
// type names the file for it.
QString Filter(const SaveFormat& format)
{
    QStringList masks;
    for (const std::string& extension : format.extensions)
        masks << QStringLiteral("*.") + QString::fromStdString(extension);
    return QString::fromStdString(format.description) + QStringLiteral(" (") +
           masks.join(QLatin1Char(' ')) + QLatin1Char(')');
}

} // namespace

std::string AskSaveFileName(QWidget* parent, const std::string& suggested,
                            const TDibRecord& picture)
{
    const PictureTones tones = TonesOf(picture);
    const std::vector<SaveFormat> formats = SaveFormatsFor(tones);
    const SaveSuggestion offer = SuggestSave(suggested, tones);
    QStringList filters;
    for (const SaveFormat& f : formats)
        filters << Filter(f);
    const QFileInfo start(QFile::decodeName(offer.path.c_str()));
    const QString folder = suggested.empty() ? QDir::homePath() : start.absolutePath();
    const auto suffix = [&](qsizetype i) {
        return QString::fromStdString(formats[std::size_t(i)].extensions.front());
    };

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
    UseGermanFileDetails(dialog);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters[qsizetype(offer.format)]);
    dialog.setDefaultSuffix(suffix(qsizetype(offer.format)));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        const qsizetype i = filters.indexOf(filter);
        if (i >= 0)
            dialog.setDefaultSuffix(suffix(i));
    });
    dialog.setDirectory(folder);
    dialog.selectFile(start.fileName());
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
