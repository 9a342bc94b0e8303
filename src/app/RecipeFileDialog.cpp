#include "app/RecipeFileDialog.h"

#include "toolkit/GermanInterface.h"
#include "toolkit/MessageBox.h"
#include "toolkit/ModalDialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace {

const QString kRecipeFilter = QStringLiteral("Kelvora-Rezept (*.kelvora-rezept)");
const QString kTextFilter = QStringLiteral("Textdatei (*.txt)");

void SetUp(QFileDialog& dialog, const std::string& start)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
    UseGermanFileDetails(dialog);
    const QFileInfo at(QFile::decodeName(start.c_str()));
    if (start.empty())
        dialog.setDirectory(QDir::homePath());
    else if (at.isDir())
        dialog.setDirectory(at.absoluteFilePath());
    else
        dialog.setDirectory(at.absolutePath());
}

std::string Chosen(QFileDialog& dialog)
{
    if (ShowModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

} // namespace

std::string AskRecipeSaveName(QWidget* parent, const std::string& start)
{
    QFileDialog dialog(parent, QStringLiteral("Rezept speichern unter"));
    SetUp(dialog, start);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // asked below, in German
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("&Speichern"));
    dialog.setNameFilters({kRecipeFilter, kTextFilter});
    dialog.setDefaultSuffix(QStringLiteral("kelvora-rezept"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(filter == kTextFilter ? QStringLiteral("txt")
                                                      : QStringLiteral("kelvora-rezept"));
    });
    const QFileInfo at(QFile::decodeName(start.c_str()));
    if (!start.empty() && !at.isDir())
        dialog.selectFile(at.fileName());
    for (;;) {
        const std::string path = Chosen(dialog);
        if (path.empty() || !QFileInfo::exists(QFile::decodeName(path.c_str())) ||
            MessageBox("Die Datei „" +
                           QFileInfo(QFile::decodeName(path.c_str())).fileName().toStdString() +
                           "“ gibt es schon.\nSoll sie ersetzt werden?",
                       "Rezept speichern unter", MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
            return path;
    }
}

std::string AskRecipeOpenName(QWidget* parent, const std::string& start)
{
    QFileDialog dialog(parent, QStringLiteral("Rezept öffnen"));
    SetUp(dialog, start);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Ö&ffnen"));
    dialog.setNameFilters({QStringLiteral("Kelvora-Rezepte (*.kelvora-rezept *.txt)"),
                           QStringLiteral("Alle Dateien (*)")});
    return Chosen(dialog);
}
