#include "app/BatchDialog.h"

#include "app/BatchProgress.h"
#include "app/RecipeFileDialog.h"
#include "imagora/Imagora.h"
#include "toolkit/GermanInterface.h"
#include "toolkit/MessageBox.h"
#include "toolkit/ModalDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace {

// The output formats offered, as --format takes them; empty: each input's own.
struct FormatRow {
    const char* text;
    const char* format;
};
constexpr FormatRow kFormats[] = {
    {"wie die Eingabe", ""}, {"PNG", "png"}, {"JPEG", "jpg"}, {"TIFF", "tif"}, {"BMP", "bmp"},
};

// The readable picture types as a file dialog's filters.
QStringList PictureFilters()
{
    QStringList filters;
    const QStringList parts = QString::fromUtf8(GetDIBOpenFilter()).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QString(parts[i]).replace(QLatin1Char(';'), QLatin1Char(' '));
    return filters;
}

QString Local(const std::string& path)
{
    return QFile::decodeName(path.c_str());
}

QFileDialog* ChooserOf(QWidget* parent, const QString& title, const QString& start)
{
    auto* dialog = new QFileDialog(parent, title);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    dialog->setLabelText(QFileDialog::FileName, QStringLiteral("Name:"));
    dialog->setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("&Wählen"));
    dialog->setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
    UseGermanFileDetails(*dialog);
    dialog->setDirectory(start.isEmpty() ? QDir::homePath() : start);
    return dialog;
}

} // namespace

TBatchDialog::TBatchDialog(QWidget* owner, const std::string& cli) : QDialog(owner), cli_(cli)
{
    setWindowTitle(QStringLiteral("Rezept auf mehrere Bilder anwenden"));
    setModal(false);

    RecipeEdit = new QLineEdit(this);
    RecipeBtn = new QPushButton(QStringLiteral("Wählen..."), this);
    InputList = new QListWidget(this);
    InputList->setSelectionMode(QAbstractItemView::NoSelection);
    AddFilesBtn = new QPushButton(QStringLiteral("Dateien..."), this);
    AddFolderBtn = new QPushButton(QStringLiteral("Ordner..."), this);
    ClearBtn = new QPushButton(QStringLiteral("Leeren"), this);
    OutDirEdit = new QLineEdit(this);
    OutDirBtn = new QPushButton(QStringLiteral("Wählen..."), this);
    FormatBox = new QComboBox(this);
    for (const FormatRow& row : kFormats)
        FormatBox->addItem(QString::fromUtf8(row.text), QString::fromUtf8(row.format));
    SkipCheck = new QCheckBox(QStringLiteral("Vorhandene Ergebnisse überspringen"), this);
    Bar = new QProgressBar(this);
    Bar->setRange(0, 1);
    Bar->setValue(0);
    StatusLabel = new QLabel(this);
    SummaryText = new QPlainTextEdit(this);
    SummaryText->setReadOnly(true);
    SummaryText->setMaximumBlockCount(2000);
    StartBtn = new QPushButton(QStringLiteral("Starten"), this);
    StartBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Abbrechen"), this);
    CloseBtn = new QPushButton(QStringLiteral("Schließen"), this);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Rezept:"), this), 0, 0);
    grid->addWidget(RecipeEdit, 0, 1);
    grid->addWidget(RecipeBtn, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Bilder:"), this), 1, 0, Qt::AlignTop);
    grid->addWidget(InputList, 1, 1);
    auto* inputButtons = new QVBoxLayout;
    inputButtons->addWidget(AddFilesBtn);
    inputButtons->addWidget(AddFolderBtn);
    inputButtons->addWidget(ClearBtn);
    inputButtons->addStretch(1);
    grid->addLayout(inputButtons, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Zielordner:"), this), 2, 0);
    grid->addWidget(OutDirEdit, 2, 1);
    grid->addWidget(OutDirBtn, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("Format:"), this), 3, 0);
    auto* formatRow = new QHBoxLayout;
    formatRow->addWidget(FormatBox);
    formatRow->addSpacing(12);
    formatRow->addWidget(SkipCheck);
    formatRow->addStretch(1);
    grid->addLayout(formatRow, 3, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(StartBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 2);
    layout->addWidget(Bar);
    layout->addWidget(StatusLabel);
    layout->addWidget(SummaryText, 1);
    layout->addLayout(buttons);
    resize(520, 460);

    connect(RecipeBtn, &QPushButton::clicked, this, [this] { ChooseRecipe(); });
    connect(AddFilesBtn, &QPushButton::clicked, this, [this] { ChooseFiles(); });
    connect(AddFolderBtn, &QPushButton::clicked, this, [this] { ChooseFolder(); });
    connect(ClearBtn, &QPushButton::clicked, InputList, &QListWidget::clear);
    connect(OutDirBtn, &QPushButton::clicked, this, [this] { ChooseOutDir(); });
    connect(StartBtn, &QPushButton::clicked, this, [this] { Start(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { Cancel(); });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::close);
    ShowRunning(false);
}

TBatchDialog::~TBatchDialog()
{
    // The window closes: a batch still running is stopped, not left behind.
    if (Running())
        StopChild(3000);
}

std::string TBatchDialog::RecipeFile() const
{
    return QFile::encodeName(RecipeEdit->text()).toStdString();
}

void TBatchDialog::SetRecipeFile(const std::string& path)
{
    RecipeEdit->setText(Local(path));
}

void TBatchDialog::AddInputs(const QStringList& paths)
{
    for (const QString& path : paths)
        if (InputList->findItems(path, Qt::MatchExactly).isEmpty())
            InputList->addItem(path);
}

void TBatchDialog::SetOutDir(const std::string& path)
{
    OutDirEdit->setText(Local(path));
}

void TBatchDialog::ChooseRecipe()
{
    const std::string path = AskRecipeOpenName(this, RecipeFile());
    if (!path.empty())
        SetRecipeFile(path);
}

void TBatchDialog::ChooseFiles()
{
    const QString start =
        InputList->count()
            ? QFileInfo(InputList->item(InputList->count() - 1)->text()).absolutePath()
            : QString();
    std::unique_ptr<QFileDialog> dialog(ChooserOf(this, QStringLiteral("Bilder wählen"), start));
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setNameFilters(PictureFilters());
    if (ShowModal(*dialog) == QDialog::Accepted)
        AddInputs(dialog->selectedFiles());
}

void TBatchDialog::ChooseFolder()
{
    std::unique_ptr<QFileDialog> dialog(
        ChooserOf(this, QStringLiteral("Ordner mit Bildern wählen"), {}));
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    if (ShowModal(*dialog) == QDialog::Accepted)
        AddInputs(dialog->selectedFiles());
}

void TBatchDialog::ChooseOutDir()
{
    std::unique_ptr<QFileDialog> dialog(
        ChooserOf(this, QStringLiteral("Zielordner wählen"), OutDirEdit->text()));
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    if (ShowModal(*dialog) == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        OutDirEdit->setText(dialog->selectedFiles().first());
}

QStringList TBatchDialog::Arguments() const
{
    QStringList args = {QStringLiteral("--recipe"), RecipeEdit->text(),
                        QStringLiteral("--batch"),  QStringLiteral("--out-dir"),
                        OutDirEdit->text(),         QStringLiteral("--progress-lines")};
    const QString format = FormatBox->currentData().toString();
    if (!format.isEmpty())
        args << QStringLiteral("--format") << format;
    if (SkipCheck->isChecked())
        args << QStringLiteral("--skip-existing");
    args << QStringLiteral("--");
    for (int i = 0; i < InputList->count(); ++i)
        args << InputList->item(i)->text();
    return args;
}

bool TBatchDialog::Start()
{
    if (Running())
        return false;
    const char* missing = RecipeEdit->text().isEmpty()   ? "Bitte wählen Sie ein Rezept."
                          : InputList->count() == 0      ? "Bitte wählen Sie Bilder oder Ordner."
                          : OutDirEdit->text().isEmpty() ? "Bitte wählen Sie einen Zielordner."
                                                         : nullptr;
    if (missing) {
        MessageBox(missing, windowTitle().toStdString(), MB_OK | MB_ICONWARNING);
        return false;
    }
    if (!QFileInfo(Local(cli_)).isExecutable()) {
        MessageBox("Das Programm „" + cli_ +
                       "“ fehlt; es gehört neben Kelvora und bearbeitet die Bilder.",
                   windowTitle().toStdString(), MB_OK | MB_ICONERROR);
        return false;
    }
    delete child_;
    child_ = new QProcess(this);
    child_->setProcessChannelMode(QProcess::SeparateChannels);
    connect(child_, &QProcess::readyReadStandardOutput, this, [this] { ReadOutput(); });
    connect(child_, &QProcess::finished, this,
            [this](int code, QProcess::ExitStatus status) { Ended(code, status); });
    connect(child_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            Ended(-1, QProcess::CrashExit);
    });
    pending_.clear();
    summary_.clear();
    cancelled_ = false;
    SummaryText->clear();
    Bar->setRange(0, 0); // busy until the first file is done
    StatusLabel->setText(QStringLiteral("Die Bilder werden bearbeitet..."));
    ShowRunning(true);
    clock_.start();
    child_->start(Local(cli_), Arguments());
    return true;
}

void TBatchDialog::Cancel()
{
    if (!Running())
        return;
    cancelled_ = true;
    StatusLabel->setText(QStringLiteral("Wird abgebrochen..."));
    CancelBtn->setEnabled(false);
    // The command line ends its jobs and removes their half-written files;
    // should it not end, it is killed.
    child_->terminate();
    QTimer::singleShot(5000, child_, [child = child_] {
        if (child->state() != QProcess::NotRunning)
            child->kill();
    });
}

bool TBatchDialog::Running() const
{
    return child_ && child_->state() != QProcess::NotRunning;
}

void TBatchDialog::StopChild(int waitMs)
{
    child_->terminate();
    if (!child_->waitForFinished(waitMs)) {
        child_->kill();
        child_->waitForFinished(waitMs);
    }
}

void TBatchDialog::ReadOutput()
{
    pending_ += child_->readAllStandardOutput();
    for (qsizetype end = pending_.indexOf('\n'); end >= 0; end = pending_.indexOf('\n')) {
        const QByteArray line = pending_.left(end);
        pending_.remove(0, end + 1);
        int done = 0, all = 0;
        if (ParseProgressLine(std::string_view(line.constData(), std::size_t(line.size())), done,
                              all)) {
            Bar->setRange(0, all);
            Bar->setValue(done);
            if (!cancelled_)
                StatusLabel->setText(QString::fromStdString(
                    BatchProgressText(done, all, double(clock_.elapsed()) / 1000)));
        } else {
            summary_ += QString::fromUtf8(line) + QLatin1Char('\n');
        }
    }
}

void TBatchDialog::Ended(int code, QProcess::ExitStatus status)
{
    ReadOutput();
    if (!pending_.isEmpty())
        summary_ += QString::fromUtf8(pending_) + QLatin1Char('\n');
    pending_.clear();
    QString said = summary_;
    // The failures, each file with its reason, without the program's name.
    for (QString line :
         QString::fromUtf8(child_->readAllStandardError()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("kelvora-cli: ")))
            line.remove(0, 13);
        if (!line.trimmed().isEmpty())
            said += line + QLatin1Char('\n');
    }
    if (Bar->maximum() == 0)
        Bar->setRange(0, 1);
    const bool started = child_->error() != QProcess::FailedToStart;
    StatusLabel->setText(
        !started ? QStringLiteral("Das Programm „%1“ ließ sich nicht starten.").arg(Local(cli_))
        : cancelled_ ? QStringLiteral("Abgebrochen.")
        : status == QProcess::CrashExit
            ? QStringLiteral("Das Bearbeiten ist unerwartet beendet worden.")
        : code == 0 ? QStringLiteral("Fertig.")
        : code == 1 ? QStringLiteral("Fertig, aber nicht alle Bilder ließen sich bearbeiten.")
                    : QStringLiteral("Nicht begonnen: siehe unten."));
    SummaryText->setPlainText(said.trimmed());
    ShowRunning(false);
    emit Finished();
}

void TBatchDialog::ShowRunning(bool running)
{
    for (QWidget* w : std::initializer_list<QWidget*>{RecipeEdit, RecipeBtn, InputList, AddFilesBtn,
                                                      AddFolderBtn, ClearBtn, OutDirEdit, OutDirBtn,
                                                      FormatBox, SkipCheck, StartBtn})
        w->setEnabled(!running);
    CancelBtn->setEnabled(running);
    // Before the first run a percentage would say nothing.
    Bar->setTextVisible(running || Bar->value() > 0);
}
