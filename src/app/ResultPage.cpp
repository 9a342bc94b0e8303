// The save and print page: the picture as opened beside the working image,
// with a splitter between them whose proportion the window keeps, the
// buttons that save and print the working image, and the steps that led
// to it.
#include "app/MainUnit.h"

#include "app/HistoryList.h"
#include "app/PageFrame.h"
#include "app/PagePane.h"
#include "display/DrawFitted.h"
#include "display/ViewPicForm.h"
#include "imagora/DibWriter.h"
#include "imagora/Metadata.h"
#include "io/PrintImage.h"
#include "io/SaveDialog.h"
#include "io/SplitRule.h"
#include "quorscan/ScanFileName.h"
#include "toolkit/MessageBox.h"
#include "toolkit/ModalDialog.h"
#include "toolkit/PaintBox.h"
#include "toolkit/Splitter.h"
#include "toolkit/WaitCursor.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace {
constexpr int kMinPaneWidth = 16;
const QString kOrigUnchangedKey = QStringLiteral("OrigUnchangedCheck/Checked");
} // namespace

QWidget* TMainForm::BuildResultPage()
{
    QWidget* content = nullptr;
    QWidget* page = MakePage(&content,
                             QStringLiteral("Speichern/Drucken - Hier sehen Sie die Vorher/Nachher "
                                            "Darstellung und können das Bild speichern"),
                             QStringLiteral("Ergebnis verarbeiten..."),
                             QStringLiteral(":/images/side-result.svg"));
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    Panel4 = new QWidget(content);
    layout->addWidget(Panel4);
    auto* panelLayout = new QVBoxLayout(Panel4);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);

    auto* buttons = new QWidget(Panel4);
    buttons->setFixedHeight(41);
    SaveAsBtn = new QPushButton(QStringLiteral("Bild &speichern unter..."), buttons);
    SaveAsBtn->setGeometry(8, 8, 145, 25);
    PrintBtn = new QPushButton(QStringLiteral("Bild &drucken..."), buttons);
    PrintBtn->setGeometry(161, 8, 145, 25);
    SaveAsBtn->setToolTip(QStringLiteral("Speichert das bearbeitete Bild in eine Datei (Strg+S)"));
    PrintBtn->setToolTip(QStringLiteral("Druckt das bearbeitete Bild (Strg+P)"));
    connect(SaveAsBtn, &QPushButton::clicked, this, [this] { SaveAsBtnClick(); });
    connect(PrintBtn, &QPushButton::clicked, this, [this] { PrintBtnClick(); });
    OrigUnchangedCheck = new QCheckBox(QStringLiteral("&Original unverändert zeigen"), buttons);
    OrigUnchangedCheck->move(322, 12);
    OrigUnchangedCheck->setToolTip(
        QStringLiteral("Vorher das Bild zeigen, wie es geöffnet wurde, statt mit denselben "
                       "Zuschnitten, Spiegelungen, Drehungen und Größenänderungen wie nachher"));
    OrigUnchangedCheck->setChecked(QSettings().value(kOrigUnchangedKey, false).toBool());
    connect(OrigUnchangedCheck, &QCheckBox::toggled, this, [this](bool checked) {
        QSettings().setValue(kOrigUnchangedKey, checked);
        MakeBeforePicture();
        OldPaintBox->Repaint();
    });
    panelLayout->addWidget(buttons);

    Splitter3 = new TSplitter(Qt::Horizontal, Panel4);
    Splitter3->setHandleWidth(3);
    Splitter3->setChildrenCollapsible(false);
    // While dragged the splitter shows a line; the panes follow on release.
    Splitter3->setOpaqueResize(false);
    OldPaintBox = MakePicturePane(Splitter3, &OldScrollBox);
    OldPaintBox->OnPaint = [this] { OldPaintBoxPaint(); };
    OldPaintBox->setToolTip(QStringLiteral(
        "Vorher: das geöffnete Bild ohne die Farbänderungen; Klicken zeigt es groß"));
    OldPaintBox->OnMouseDown = [this](Qt::MouseButton, int, int) { ShowViewer(true); };
    ErgPaintBox = MakePicturePane(Splitter3, &ErgScrollBox);
    ErgPaintBox->OnPaint = [this] { ErgPaintBoxPaint(); };
    ErgPaintBox->setToolTip(
        QStringLiteral("Nachher: das Bild mit allen Änderungen; Klicken zeigt es groß"));
    ErgPaintBox->OnMouseDown = [this](Qt::MouseButton, int, int) { ShowViewer(false); };
    // However far the splitter goes, each pane keeps a sliver of picture.
    for (QWidget* pane : {OldScrollBox, ErgScrollBox}) {
        pane->setMinimumWidth(kMinPaneWidth);
        Splitter3->addWidget(pane);
    }
    Splitter3->handle(1)->setToolTip(
        QStringLiteral("Ziehen Sie hier, um die Breite von Vorher und Nachher zu verteilen"));
    Splitter3->OnResize = [this] { FormResize(); };
    connect(Splitter3, &QSplitter::splitterMoved, this, [this] { Splitter3Moved(); });
    panelLayout->addWidget(Splitter3, 1);

    HistoryList = MakeHistoryList(Panel4);
    HistoryList->setFixedHeight(84);
    // a click, or Enter on the entry the arrow keys reached
    const auto goTo = [this](QListWidgetItem* item) { HistoryListClick(HistoryList->row(item)); };
    connect(HistoryList, &QListWidget::itemClicked, this, goTo);
    connect(HistoryList, &QListWidget::itemActivated, this, goTo);
    panelLayout->addWidget(HistoryList);
    return page;
}

TDibRecord TMainForm::InRegister(ProgressSink& progress)
{
    const TDibRecord made = BeforeRegister.Of(Steps(), WorkDib, progress);
    return made.Bits ? made : OrigDib;
}

TDibRecord TMainForm::BeforePicture()
{
    NullProgress quiet; // made already, unless a paint came first
    return OrigUnchangedCheck->isChecked() ? OrigDib : InRegister(quiet);
}

void TMainForm::MakeBeforePicture()
{
    if (PageControl2->currentWidget() != TabSheet5 || OrigUnchangedCheck->isChecked())
        return;
    const WaitCursor wait;
    InRegister(*this);
    SetProStatus(0);
}

void TMainForm::OldPaintBoxPaint()
{
    DrawFitted(OldPaintBox->Canvas(), OldPaintBox->width(), OldPaintBox->height(), BeforePicture());
}

void TMainForm::ErgPaintBoxPaint()
{
    DrawFitted(ErgPaintBox->Canvas(), ErgPaintBox->width(), ErgPaintBox->height(), WorkDib);
}

void TMainForm::ShowViewer(bool before)
{
    // Made once, so that the zoom stays from one showing to the next.
    if (!ViewPicForm)
        ViewPicForm = new TViewPicForm(this);
    {
        const WaitCursor wait;
        // in register whatever the before pane shows: V keeps the place
        ViewPicForm->BeforeDib = InRegister(*this);
        SetProStatus(0);
    }
    ViewPicForm->ViewDib = WorkDib;
    ViewPicForm->PicFileName = FileName;
    ViewPicForm->ShowBefore(before);
    ShowModal(*ViewPicForm);
}

// The proportion is taken when a drag ends, from the pane as the drag left
// it; taken while the splitter asks during the drag, it would be the one
// from before the drag, and the next resize would undo the drag.
void TMainForm::Splitter3Moved()
{
    SplitPercent = SplitPercentOf(Splitter3->sizes().value(0), Panel4->width());
}

void TMainForm::FormResize()
{
    const int total = Panel4->width();
    const int before = SplitPaneWidth(total, SplitPercent);
    Splitter3->setSizes({before, total - before - Splitter3->handleWidth()});
}

namespace {

// The folder saved to last, kept between runs; the home folder at first and
// when it is gone.
const QString kSaveFolderKey = QStringLiteral("SaveDialog1/InitialDir");

std::string LastSaveFolder()
{
    const QString folder = QSettings().value(kSaveFolderKey).toString();
    return QFile::encodeName(QFileInfo(folder).isDir() ? folder : QDir::homePath()).toStdString();
}

void RememberSaveFolder(const std::string& path)
{
    QSettings().setValue(kSaveFolderKey, QFileInfo(QFile::decodeName(path.c_str())).absolutePath());
}

} // namespace

void TMainForm::SaveAsBtnClick()
{
    // A scan has no file of its own: offering the photo opened before would
    // let one OK replace that photo with the scan.
    const std::string path = AskSaveFileName(
        this, ScanTime ? FreeScanPath(LastSaveFolder(), ScanTime) : FileName, WorkDib);
    if (path.empty())
        return;
    std::string error;
    if (WriteDibFile(WorkDib, path, &error, SaveJpegQuality(&Metadata, 0), &Metadata)) {
        MarkSaved(); // closing or opening another file need not warn now
        RememberSaveFolder(path);
    } else {
        MessageBox(error, "Bild speichern unter", MB_OK | MB_ICONERROR);
    }
}

void TMainForm::PrintBtnClick()
{
    PrintImage(this, WorkDib);
}
