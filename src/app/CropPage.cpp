// The crop page: the working image with the selection over it, and the
// buttons of the geometry commands above it.
#include "app/MainUnit.h"

#include "app/PageFrame.h"
#include "app/PagePane.h"
#include "display/DrawFitted.h"
#include "display/FitInBox.h"
#include "geometry/Crop.h"
#include "geometry/CropOverlay.h"
#include "geometry/CropProportions.h"
#include "toolkit/FormStorage.h"
#include "toolkit/PaintBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

Qt::CursorShape CursorShapeOf(CropCursor cursor)
{
    switch (cursor) {
    case crSizeWE:
        return Qt::SizeHorCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

// The chosen proportion is kept for the next run.
TFormStorage ProportionStorage(QComboBox* box)
{
    TFormStorage storage(QStringLiteral("TMainForm"));
    storage.Add(box, "currentIndex", QStringLiteral("CropProportionBox.ItemIndex"));
    return storage;
}

} // namespace

QWidget* TMainForm::BuildCropPage()
{
    QWidget* content = nullptr;
    QWidget* page =
        MakePage(&content,
                 QStringLiteral("Bild zuschneiden - Rand abschneiden, Rotieren, "
                                "Auflösung und Farbtiefe anpassen"),
                 QStringLiteral("Bild zuschneiden..."), QStringLiteral(":/images/side-crop.svg"));
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(BuildCropButtons(content));
    RetuschPaint = MakePicturePane(content, &RetuschScrollBox);
    RetuschPaint->setMouseTracking(true); // the cursor follows the edges without a button held
    RetuschPaint->OnPaint = [this] { RetuschPaintPaint(); };
    RetuschPaint->OnMouseDown = [this](Qt::MouseButton, int x, int y) {
        RetuschPaintMouseDown(x, y);
    };
    RetuschPaint->OnMouseMove = [this](Qt::MouseButton, int x, int y) {
        RetuschPaintMouseMove(x, y);
    };
    RetuschPaint->OnMouseUp = [this](Qt::MouseButton, int, int) { RetuschPaintMouseUp(); };
    layout->addWidget(RetuschScrollBox, 1);
    return page;
}

QWidget* TMainForm::BuildCropButtons(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 4);
    grid->setSpacing(4);
    const auto button = [panel](const char* caption) {
        return new QPushButton(QString::fromUtf8(caption), panel);
    };
    CutBtn = button("Rand abschneiden");
    MirrorHBtn = button("Horizontal spiegeln");
    MirrorVBtn = button("Vertikal spiegeln");
    RotateBtn = button("Rotieren...");
    SizeBtn = button("Größe/Auflösung...");
    SizeBtn->setToolTip(QStringLiteral("Hiermit können Sie die Größe des Bides anpassen.\n"
                                       "Die Qualität kann durch das Vergrößern mit Interpolation \n"
                                       "erhöht werden! Dabei werden wahrscheinliche \n"
                                       "Zwischenfarbwerte berechnet."));
    QPushButton* depth = button("Farb-Anzahl...");
    depth->setObjectName(QStringLiteral("FTiefeBtn"));
    depth->setToolTip(QStringLiteral("Hiermit können Sie die Farbtiefe des Bides anpassen"));
    FindPhotoBtn = button("Foto suchen");
    FindPhotoBtn->setToolTip(QStringLiteral(
        "Sucht ein aufgelegtes Foto vor dem gleichmäßigen Hintergrund eines Scans\n"
        "und wählt es aus"));
    StraightenBtn = button("Gerade ausrichten");
    StraightenBtn->setToolTip(QStringLiteral(
        "Dreht ein schräg aufgelegtes Foto gerade und schneidet es aus:\n"
        "zwei Schritte, die sich einzeln rückgängig machen lassen"));
    UndoBtn1 = MakeUndoButton(QStringLiteral("Letzten Schritt rückgängig machen"), panel);
    RedoBtn1 = MakeRedoButton(QStringLiteral("Wiederholen"), panel);

    connect(CutBtn, &QPushButton::clicked, this, [this] { CutBtnClick(); });
    connect(MirrorHBtn, &QPushButton::clicked, this, [this] { MirrorHBtnClick(); });
    connect(MirrorVBtn, &QPushButton::clicked, this, [this] { MirrorVBtnClick(); });
    connect(RotateBtn, &QPushButton::clicked, this, [this] { RotateBtnClick(); });
    connect(SizeBtn, &QPushButton::clicked, this, [this] { SizeBtnClick(); });
    connect(depth, &QPushButton::clicked, this, [this] { FTiefeBtnClick(); });
    connect(FindPhotoBtn, &QPushButton::clicked, this, [this] { FindPhotoBtnClick(); });
    connect(StraightenBtn, &QPushButton::clicked, this, [this] { StraightenBtnClick(); });
    connect(UndoBtn1, &QPushButton::clicked, this, [this] { UndoBtn1Click(); });
    connect(RedoBtn1, &QPushButton::clicked, this, [this] { RedoBtn1Click(); });

    QPushButton* const rows[][3] = {
        {CutBtn, MirrorHBtn, MirrorVBtn},
        {RotateBtn, SizeBtn, depth},
    };
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            grid->addWidget(rows[r][c], r, c);
    grid->addWidget(FindPhotoBtn, 2, 0);
    grid->addWidget(StraightenBtn, 2, 1);
    grid->addWidget(UndoBtn1, 3, 0, 1, 2);
    grid->addWidget(RedoBtn1, 3, 2);
    grid->addWidget(BuildCropProportionRow(panel), 4, 0, 1, 3);
    return panel;
}

QWidget* TMainForm::BuildCropProportionRow(QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    CropProportionBox = new QComboBox(row);
    for (const CropProportionChoice& choice : kCropProportions)
        CropProportionBox->addItem(
            QString::fromUtf8(choice.Caption.data(), qsizetype(choice.Caption.size())));
    CropProportionBox->setToolTip(
        QStringLiteral("Seitenverhältnis der Auswahl: ein neu aufgezogener Rahmen und gezogene "
                       "Kanten halten es ein"));
    auto* caption = new QLabel(QStringLiteral("Seitenverhältnis:"), row);
    caption->setBuddy(CropProportionBox);
    caption->setToolTip(CropProportionBox->toolTip());
    CropSizeLabel = new QLabel(row);
    CropSizeLabel->setToolTip(
        QStringLiteral("Größe der Auswahl in Bildpunkten: so groß wird das Bild beim "
                       "Rand abschneiden"));
    layout->addWidget(caption);
    layout->addWidget(CropProportionBox);
    layout->addSpacing(12);
    layout->addWidget(CropSizeLabel, 1);

    ProportionStorage(CropProportionBox).RestoreProps();
    if (CropProportionBox->currentIndex() < 0) // a stored choice this program does not offer
        CropProportionBox->setCurrentIndex(kCropFree);
    CropProportion = CropProportionBox->currentIndex();
    connect(CropProportionBox, &QComboBox::currentIndexChanged, this,
            [this] { CropProportionBoxChange(); });
    return row;
}

void TMainForm::CropProportionBoxChange()
{
    CropProportion = CropProportionBox->currentIndex();
    ProportionStorage(CropProportionBox).SaveProps();
    // The selection takes the proportion at once, as large as it fits inside.
    if (CheckCropRect(CropRect, WorkDib) == CropCheck::Fits)
        CropRect = FitProportion(
            CropRect, ProportionOf(CropProportion, DibWidth(WorkDib), DibHeight(WorkDib)));
    RetuschPaint->Repaint();
}

void TMainForm::RetuschPaintPaint()
{
    HDC dc = RetuschPaint->Canvas();
    const int boxWidth = RetuschPaint->width(), boxHeight = RetuschPaint->height();
    const int width = DibWidth(WorkDib), height = DibHeight(WorkDib);
    DrawFitted(dc, boxWidth, boxHeight, WorkDib);
    const FittedSize fit = AspectFit(boxWidth, boxHeight, width, height);
    FitSelection(fit.width, fit.height, width, height, CropRect);
    const bool selected = CheckCropRect(CropRect, WorkDib) == CropCheck::Fits;
    if (CropMaxX >= 0 && CropMaxY >= 0)
        DrawCropOverlay(dc, fit.width, fit.height, CropBoxRect, selected);
    CropSizeLabel->setText(selected ? QStringLiteral("Auswahl: ") +
                                          QString::fromStdString(SelectionSizeText(CropRect))
                                    : QStringLiteral("Keine Auswahl"));
}

void TMainForm::RetuschPaintMouseDown(int X, int Y)
{
    if (SelectionMouseDown(X, Y, CropRect) == Press::NewBand)
        RetuschPaintPaint();
}

void TMainForm::RetuschPaintMouseMove(int X, int Y)
{
    // While the button is held the paint box keeps the mouse, also outside
    // it, up to the release.
    if (CropDragMode == 1) {
        SelectionDrag(X, Y, CropRect);
        RetuschPaintPaint();
    } else {
        setcursor_(CursorShapeOf(SelectionHover(X, Y)));
    }
}

void TMainForm::RetuschPaintMouseUp()
{
    SelectionMouseUp();
}
