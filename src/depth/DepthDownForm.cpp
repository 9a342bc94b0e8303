#include "depth/DepthDownForm.h"

#include "depth/DepthPreviewRun.h"
#include "depth/DepthPreviewViews.h"
#include "toolkit/FixedDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include <algorithm>

namespace {

QGroupBox* MakeGroup(QWidget* parent, const QString& title, int left, int top, int width,
                     int height)
{
    auto* group = new QGroupBox(title, parent);
    group->setGeometry(left, top, width, height);
    return group;
}

// A caption wider than designed (the design font is not everywhere) takes
// the room it needs up to the group's frame.
template <typename Button>
Button* MakeButton(QGroupBox* group, const QString& caption, int left, int top, int width)
{
    auto* button = new Button(caption, group);
    const int room = group->width() - left - 1;
    button->setGeometry(left, top, std::min(std::max(width, button->sizeHint().width()), room), 17);
    return button;
}

// The previews' row below the options: the whole picture, then the choices.
constexpr int kPreviewTop = 139;
constexpr int kOverviewWidth = 136, kOverviewHeight = 96;
constexpr int kTilesLeft = 152, kTileStep = TDepthPreviewTile::kPartWidth + 6;
constexpr int kMostChoices = 5;
constexpr int kFormHeight = 300;

} // namespace

TDepthDownForm::TDepthDownForm(QWidget* owner) : QDialog(owner)
{
    SetUpFixedDialog(*this, QStringLiteral("Farbtiefe verkleinern..."),
                     kTilesLeft + kMostChoices * kTileStep + 2, kFormHeight);
    PaletteGroup = MakeGroup(this, QStringLiteral("Palette"), 8, 8, 145, 73);
    OptPalCheck =
        MakeButton<QRadioButton>(PaletteGroup, QStringLiteral("&Optimierte Palette"), 16, 16, 113);
    StdPalCheck =
        MakeButton<QRadioButton>(PaletteGroup, QStringLiteral("&Standart-Palette"), 16, 32, 113);
    MethodGroup = MakeGroup(this, QStringLiteral("Methode"), 160, 8, 201, 73);
    NearCheck = MakeButton<QRadioButton>(MethodGroup, QStringLiteral("Am besten &passenste Farbe"),
                                         16, 16, 169);
    DitherCheck = MakeButton<QRadioButton>(
        MethodGroup, QStringLiteral("&Dithering für Standart-Palette"), 16, 32, 169);
    FSErrCheck = MakeButton<QRadioButton>(
        MethodGroup, QStringLiteral("&Floyd-Steinberg Fehlerverteilung"), 16, 48, 169);
    OptionsGroup = MakeGroup(this, QStringLiteral("Optionen"), 368, 8, 185, 73);
    WinColCheck = MakeButton<QCheckBox>(OptionsGroup, QStringLiteral("&Windows Farben einbinden"),
                                        8, 32, 161);
    OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    OKBtn->setGeometry(195, 96, 83, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    CancelBtn = new QPushButton(QStringLiteral("A&bbrechen"), this);
    CancelBtn->setGeometry(283, 96, 89, 25);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    Overview = new TDepthOverview(this);
    Overview->setGeometry(8, kPreviewTop, kOverviewWidth, kOverviewHeight);
    Overview->Picked = [this](int x, int y) { PickPoint(x, y); };
    auto* hint = new QLabel(QStringLiteral("Ein Klick ins Bild wählt den Ausschnitt, ein Klick "
                                           "auf eine Vorschau ihre Einstellung."),
                            this);
    const int hintTop = kPreviewTop + kOverviewHeight + 2;
    hint->setGeometry(8, hintTop, kOverviewWidth, kFormHeight - 4 - hintTop);
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Push();
    for (QRadioButton* b : {OptPalCheck, StdPalCheck, NearCheck, DitherCheck, FSErrCheck})
        connect(b, &QRadioButton::toggled, this, [this] { MarkChosen(); });
    // the system colours change the optimized palette of 8 bits
    connect(WinColCheck, &QCheckBox::toggled, this, [this] {
        if (picture_ && target_ == 8)
            StartPreviews();
    });
    connect(this, &QDialog::finished, this, [this] { StopPreviews(); });
    // A radio button's click counts when it checks the button, as the user
    // clicking an unchecked one does; clicking a checked one changes nothing.
    connect(OptPalCheck, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptPalCheckClick();
    });
    connect(StdPalCheck, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            StdPalCheckClick();
    });
}

void TDepthDownForm::OptPalCheckClick()
{
    Pull();
    state_.PaletteClick();
    Push();
}

void TDepthDownForm::StdPalCheckClick()
{
    OptPalCheckClick();
}

void TDepthDownForm::Prepare(int target)
{
    target_ = target;
    Pull();
    state_.Prepare(target);
    Push();
}

DepthDownChoice TDepthDownForm::Choice()
{
    Pull();
    return state_.Choice();
}

void TDepthDownForm::Pull()
{
    state_.OptPalChecked = OptPalCheck->isChecked();
    state_.MethodChecked = DitherCheck->isChecked()  ? DepthMethod::Ordered
                           : FSErrCheck->isChecked() ? DepthMethod::FloydSteinberg
                                                     : DepthMethod::Nearest;
    state_.WinColChecked = WinColCheck->isChecked();
}

void TDepthDownForm::Push()
{
    const QSignalBlocker blockOpt(OptPalCheck), blockStd(StdPalCheck);
    OptPalCheck->setChecked(state_.OptPalChecked);
    StdPalCheck->setChecked(!state_.OptPalChecked);
    NearCheck->setChecked(state_.MethodChecked == DepthMethod::Nearest);
    DitherCheck->setChecked(state_.MethodChecked == DepthMethod::Ordered);
    FSErrCheck->setChecked(state_.MethodChecked == DepthMethod::FloydSteinberg);
    WinColCheck->setChecked(state_.WinColChecked);
    OptPalCheck->setEnabled(state_.OptPalEnabled);
    StdPalCheck->setEnabled(state_.StdPalEnabled);
    NearCheck->setEnabled(state_.NearEnabled);
    DitherCheck->setEnabled(state_.DitherEnabled);
    FSErrCheck->setEnabled(state_.FSErrEnabled);
    WinColCheck->setEnabled(state_.WinColEnabled);
}

TDepthDownForm::~TDepthDownForm()
{
    StopPreviews();
    stopping_.clear(); // waits for their threads
}

void TDepthDownForm::ShowPreviews(SharedDib picture)
{
    picture_ = std::move(picture);
    if (!picture_ || !picture_->Bits)
        return;
    Overview->SetPicture(*picture_);
    const int scale = std::max(1, qRound(devicePixelRatioF()));
    region_ = PreviewRegion(*picture_, DibWidth(*picture_) / 2, DibHeight(*picture_) / 2,
                            TDepthPreviewTile::kPartWidth * scale,
                            TDepthPreviewTile::kPartHeight * scale);
    Overview->SetRegion(region_);
    StartPreviews();
}

void TDepthDownForm::StartPreviews()
{
    StopRun();
    // a tile may be the one whose click led here
    for (TDepthPreviewTile* tile : PreviewTiles) {
        tile->hide();
        tile->deleteLater();
    }
    PreviewTiles.clear();
    Pull();
    const std::vector<DepthDownChoice> choices = DepthChoicesFor(target_, state_.WinColChecked);
    for (std::size_t i = 0; i < choices.size(); ++i) {
        auto* tile = new TDepthPreviewTile(this, target_, choices[i]);
        tile->move(kTilesLeft + int(i) * kTileStep, kPreviewTop);
        tile->Clicked = [this, c = choices[i]] { ChooseLike(c); };
        tile->show();
        PreviewTiles.push_back(tile);
    }
    MarkChosen();
    if (choices.empty() || !DepthDownConverts(target_, DibBitCount(*picture_)))
        return;
    const unsigned generation = ++generation_;
    QPointer<TDepthDownForm> self(this);
    run_ = std::make_unique<DepthPreviewRun>(
        picture_, target_, choices, region_, [self, generation](const DepthPreviewEvent& e) {
            // the image is made here, off the window's thread; the picture
            // stays with the run
            QImage part = e.Reduced ? PartImage(*e.Reduced) : QImage();
            DepthPreviewEvent told = e;
            told.Reduced.reset();
            QMetaObject::invokeMethod(
                self.data(),
                [self, generation, told, part] {
                    if (self)
                        self->Receive(generation, told, part);
                },
                Qt::QueuedConnection);
        });
}

void TDepthDownForm::Receive(unsigned generation, const DepthPreviewEvent& e, const QImage& part)
{
    if (generation != generation_ || e.Index < 0 || e.Index >= int(PreviewTiles.size()))
        return;
    TDepthPreviewTile* tile = PreviewTiles[std::size_t(e.Index)];
    if (e.What == DepthPreviewEvent::Part)
        tile->ShowPart(part, e.Region);
    else if (e.What == DepthPreviewEvent::Figures)
        tile->ShowFigures(e.Measured);
}

void TDepthDownForm::PickPoint(int x, int y)
{
    if (!picture_)
        return;
    const int scale = std::max(1, qRound(devicePixelRatioF()));
    region_ = PreviewRegion(*picture_, x, y, TDepthPreviewTile::kPartWidth * scale,
                            TDepthPreviewTile::kPartHeight * scale);
    Overview->SetRegion(region_);
    if (run_)
        run_->MoveRegion(region_);
}

void TDepthDownForm::StopPreviews()
{
    StopRun();
    picture_.reset(); // the copy is large; what the views show stays
}

void TDepthDownForm::StopRun()
{
    if (run_) {
        run_->Stop();
        stopping_.push_back(std::move(run_));
    }
    // those whose thread has ended go now; the others when the form goes
    std::erase_if(stopping_, [](const std::unique_ptr<DepthPreviewRun>& r) { return r->Ended(); });
}

bool TDepthDownForm::PreviewsComplete() const
{
    return std::all_of(PreviewTiles.begin(), PreviewTiles.end(), [this](const TDepthPreviewTile* t) {
        const RECT r = t->PartRegion();
        return t->HasPart() && t->HasFigures() && r.left == region_.left && r.top == region_.top &&
               r.right == region_.right && r.bottom == region_.bottom;
    });
}

void TDepthDownForm::MarkChosen()
{
    Pull();
    for (TDepthPreviewTile* tile : PreviewTiles)
        tile->SetChosen(SameReduction(target_, tile->Choice, state_.Choice()));
}

void TDepthDownForm::ChooseLike(const DepthDownChoice& c)
{
    if (target_ != 1)
        (c.Optimized ? OptPalCheck : StdPalCheck)->setChecked(true);
    QRadioButton* method = c.Method == DepthMethod::Nearest   ? NearCheck
                           : c.Method == DepthMethod::Ordered ? DitherCheck
                                                              : FSErrCheck;
    method->setChecked(true);
}
