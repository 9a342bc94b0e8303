// The optimize page: mode and intensity, the 3 x 3 grid of variants, and the
// pane with the current picture.
#include "app/MainUnit.h"

#include "app/PageFrame.h"
#include "app/PagePane.h"
#include "correct/AutoCorrect.h"
#include "correct/CorrectionModes.h"
#include "correct/VariationGrid.h"
#include "display/DrawFitted.h"
#include "toolkit/FormStorage.h"
#include "toolkit/PaintBox.h"
#include "toolkit/RadioGroup.h"
#include "toolkit/WaitCursor.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

QWidget* TMainForm::BuildOptimizePage()
{
    QWidget* content = nullptr;
    QWidget* page =
        MakePage(&content, QStringLiteral("Optimieren - Korrekturmodus wählen und immer auf das "
                                          "Foto klicken, dass Ihnen am besten gefällt"));
    auto* layout = new QHBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* left = new QWidget(content);
    left->setFixedWidth(201);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(0);
    auto* controls = new QWidget(left);
    controls->setFixedHeight(247);
    QStringList captions;
    for (std::string_view caption : kCorrectionModeCaptions)
        captions << QString::fromUtf8(caption.data(), qsizetype(caption.size()));
    KModeBox = new TRadioGroup(QStringLiteral("Korrekturmodus"), captions, controls);
    KModeBox->setGeometry(8, 8, 185, 177);
    KModeBox->SetItemIndex(0);
    KModeBox->OnClick = [this] { KModeBoxClick(); };
    KModeBox->setToolTip(
        QStringLiteral("Was die neun Varianten verändern: Helligkeit, Kontrast, Sättigung,\n"
                       "Gamma, die hellen, mittleren oder dunklen Töne oder eine Farbe"));
    auto* label = new QLabel(QStringLiteral("Intensität:"), controls);
    label->move(0, 195);
    IntensEd = new QSpinBox(controls);
    IntensEd->setGeometry(64, 192, 65, 22);
    IntensEd->setRange(kMinIntensity, kMaxIntensity);
    IntensEd->setSingleStep(2);
    IntensEd->setValue(kDefaultIntensity);
    IntensEd->setToolTip(
        QStringLiteral("Wie stark sich benachbarte Varianten unterscheiden (1 bis 25)"));
    connect(IntensEd, &QSpinBox::valueChanged, this, [this] { IntensEdChange(); });
    // Their hints name the step they would undo or redo (ShowHistory).
    UndoBtn2 = MakeUndoButton(QStringLiteral("Rückgängig"), controls);
    UndoBtn2->setGeometry(8, 220, 90, 25);
    connect(UndoBtn2, &QPushButton::clicked, this, [this] { UndoBtn1Click(); });
    RedoBtn2 = MakeRedoButton(QStringLiteral("Wiederholen"), controls);
    RedoBtn2->setGeometry(103, 220, 90, 25);
    connect(RedoBtn2, &QPushButton::clicked, this, [this] { RedoBtn1Click(); });
    // where the mode group leaves room, beside its last column
    AutoBtn = new QPushButton(QStringLiteral("Automatisch"), controls);
    AutoBtn->setGeometry(88, 152, 97, 25);
    AutoBtn->setToolTip(
        QStringLiteral("Klickt für Sie die Varianten an, die das Bild am besten belichten und\n"
                       "farbneutral machen; jeder Klick lässt sich einzeln rückgängig machen"));
    connect(AutoBtn, &QPushButton::clicked, this, [this] { AutoBtnClick(); });
    leftLayout->addWidget(controls);
    leftLayout->addWidget(BuildHistogramPanel(left));
    QWidget* smallPane = nullptr;
    PaintBox2 = MakePicturePane(left, &smallPane);
    PaintBox2->setCursor(Qt::PointingHandCursor);
    PaintBox2->setToolTip(
        QStringLiteral("Klicken Sie hier, um das Bild in voller Größe anzusehen"));
    PaintBox2->OnPaint = [this] { PaintBox2Paint(); };
    PaintBox2->OnMouseDown = [this](Qt::MouseButton, int, int) { PaintBox2MouseDown(); };
    smallPane->setMinimumHeight(80); // the histogram must not squeeze the picture away
    leftLayout->addWidget(smallPane, 1);
    layout->addWidget(left);

    QWidget* gridPane = nullptr;
    PaintBox1 = MakePicturePane(content, &gridPane);
    PaintBox1->setCursor(Qt::PointingHandCursor);
    PaintBox1->setToolTip(QStringLiteral(
        "Klicken Sie auf die Variante, die Ihnen am besten gefällt.\n"
        "Die Tasten 1 bis 9 des Ziffernblocks wählen die Variante an ihrer Stelle."));
    PaintBox1->OnPaint = [this] { PaintBox1Paint(); };
    PaintBox1->OnMouseDown = [this](Qt::MouseButton, int x, int y) { PaintBox1MouseDown(x, y); };
    PaintBox1->setMouseTracking(true); // the histogram follows the cell under the mouse
    PaintBox1->OnMouseMove = [this](Qt::MouseButton, int x, int y) { PaintBox1MouseMove(x, y); };
    PaintBox1->OnMouseLeave = [this] { ShowHistogramOf(kNoVariation); };
    layout->addWidget(gridPane, 1);

    return page;
}

namespace {

// The check box's state is kept for the next run.
TFormStorage ClipCheckStorage(QCheckBox* box)
{
    TFormStorage storage(QStringLiteral("TMainForm"));
    storage.Add(box, "checked", QStringLiteral("ClipCheck.Checked"));
    return storage;
}

const QString kCurrentHistogram = QStringLiteral("Histogramm: aktuelles Bild");
const QString kVariantHistogram = QStringLiteral("Histogramm: Variante unter der Maus");

} // namespace

QWidget* TMainForm::BuildHistogramPanel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    panel->setFixedHeight(128);
    ClipCheck = new QCheckBox(QStringLiteral("Beschnitt zeigen"), panel);
    ClipCheck->setGeometry(8, 0, 185, 22);
    ClipCheck->setToolTip(
        QStringLiteral("Markiert in jeder Variante, wo sie gegenüber dem aktuellen Bild die\n"
                       "Lichter ausfrisst (rot) oder die Tiefen absaufen lässt (blau)"));
    ClipCheckStorage(ClipCheck).RestoreProps();
    connect(ClipCheck, &QCheckBox::toggled, this, [this] { ClipCheckClick(); });
    HistogramLabel = new QLabel(kCurrentHistogram, panel);
    HistogramLabel->setGeometry(8, 24, 185, 18);
    QWidget* frame = nullptr;
    HistogramBox = MakePicturePane(panel, &frame);
    frame->setGeometry(8, 44, 185, 80);
    HistogramBox->setToolTip(
        QStringLiteral("Helligkeit (grau) und die Farben Rot, Grün und Blau, von dunkel (links)\n"
                       "bis hell (rechts); über einer Variante zeigt es deren Verteilung"));
    HistogramBox->OnPaint = [this] { HistogramBoxPaint(); };
    return panel;
}

int TMainForm::Intensity() const
{
    return IntensEd->value();
}

void TMainForm::PaintBox1Paint()
{
    GridHistograms =
        PaintVariationGrid(PaintBox1->Canvas(), PaintBox1->width(), PaintBox1->height(), WorkDib,
                           KModeBox->ItemIndex(), Intensity(), *this, ClipCheck->isChecked());
    HistogramBoxPaint();
}

void TMainForm::ClipCheckClick()
{
    ClipCheckStorage(ClipCheck).SaveProps();
    PaintBox1Paint();
}

void TMainForm::PaintBox1MouseMove(int X, int Y)
{
    const int step = HitTestVariation(PaintBox1->width(), PaintBox1->height(), X, Y);
    if (step != HoveredVariation)
        ShowHistogramOf(step);
}

void TMainForm::ShowHistogramOf(int step)
{
    HoveredVariation = step;
    HistogramLabel->setText(step == kNoVariation ? kCurrentHistogram : kVariantHistogram);
    HistogramBoxPaint();
}

void TMainForm::HistogramBoxPaint()
{
    const int cell = HoveredVariation + 4; // the step's place in reading order
    const ChannelHistogram& shown = HoveredVariation == kNoVariation
                                        ? GridHistograms.Current
                                        : GridHistograms.Cells[cell % 3][cell / 3];
    const QSize device = HistogramBox->CanvasImage().size();
    DrawHistogram(HistogramBox->Canvas(), 0, 0, device.width(), device.height(), shown);
}

void TMainForm::PaintBox1MouseDown(int X, int Y)
{
    const int step = HitTestVariation(PaintBox1->width(), PaintBox1->height(), X, Y);
    if (step == kNoVariation)
        return;
    ApplyStep(CorrectStep(KModeBox->ItemIndex(), step, Intensity()));
}

void TMainForm::AutoBtnClick()
{
    WaitCursor wait;
    for (const Step& step : ChooseAutoCorrections(WorkDib, Intensity(), *this))
        if (!ApplyStep(step))
            break;
}

bool TMainForm::VariationKeyPress(const QKeyEvent& key)
{
    // Only the keypad's digits, so that the others still type; a field that
    // takes digits (the intensity) has them before they get here.
    const int digit = key.key() - Qt::Key_0;
    if (PageControl2->currentWidget() != TabSheet4 || !(key.modifiers() & Qt::KeypadModifier) ||
        digit < 1 || digit > 9)
        return false;
    const auto [x, y] =
        VariationCellOrigin(PaintBox1->width(), PaintBox1->height(), KeypadVariationCell(digit));
    PaintBox1MouseDown(x, y);
    return true;
}

void TMainForm::PaintBox2Paint()
{
    DrawFitted(PaintBox2->Canvas(), PaintBox2->width(), PaintBox2->height(), WorkDib);
}

void TMainForm::KModeBoxClick()
{
    PaintBox1Paint();
}

void TMainForm::IntensEdChange()
{
    PaintBox1Paint();
}

// The click on the current picture opens the viewer on it.
void TMainForm::PaintBox2MouseDown()
{
    ShowViewer(false);
}
