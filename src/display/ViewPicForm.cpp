#include "display/ViewPicForm.h"

#include "app/PageFrame.h"
#include "display/StretchDrawDib.h"
#include "gdi/LogicalPixels.h"
#include "io/PrintImage.h"
#include "toolkit/Fonts.h"
#include "toolkit/PaintBox.h"
#include "toolkit/Shell.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace {

QPushButton* TopButton(const QString& caption, QWidget* parent, int x, int width = 97)
{
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(x, 8, width, 25);
    button->setAutoDefault(false); // Return in the zoom field only sets the zoom
    return button;
}

// Keys that act wherever the focus is in the window.
template <typename F> void AddKeys(QWidget* window, const QList<QKeySequence>& keys, F act)
{
    auto* action = new QAction(window);
    action->setShortcuts(keys);
    QObject::connect(action, &QAction::triggered, window, act);
    window->addAction(action);
}

} // namespace

TViewPicForm::TViewPicForm(QWidget* parent) : TStoredDialog(QStringLiteral("TViewPicForm"), parent)
{
    setWindowTitle(QStringLiteral("Bild betrachten..."));
    setFont(DesignFont(QStringLiteral("MS Sans Serif"), 8));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    resize(532, 420);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* top = new QWidget(this);
    top->setFixedHeight(41);
    ReadyBtn = TopButton(QStringLiteral("Zurück..."), top, 8);
    PrintBrn = TopButton(QStringLiteral("&Drucken"), top, 112);
    OpenBtn = TopButton(QStringLiteral("Öffnen..."), top, 216);
    (new QLabel(QStringLiteral("Zoom:"), top))->move(320, 12);
    ZoomEd = new QSpinBox(top);
    ZoomEd->setGeometry(368, 8, 65, 21);
    ZoomEd->setRange(kMinZoom, kMaxZoom);
    ZoomEd->setSingleStep(10);
    ZoomEd->setValue(100);
    ZoomEd->setToolTip(
        QStringLiteral("Vergrößern: + oder Strg+Mausrad nach oben; verkleinern: - oder "
                       "Strg+Mausrad nach unten"));
    FitBtn = TopButton(QStringLiteral("Ein&passen"), top, 440, 84);
    FitBtn->setToolTip(QStringLiteral("Das ganze Bild ins Fenster einpassen (Strg+0)"));
    layout->addWidget(top);

    ScrollBox1 = new QWidget(this);
    SetBackground(ScrollBox1, kWorkspace);
    auto* grid = new QGridLayout(ScrollBox1);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    PaintBox1 = new PaintBox(ScrollBox1);
    PaintBox1->setCursor(Qt::PointingHandCursor);
    grid->addWidget(PaintBox1, 0, 0);
    VertScrollBar = new QScrollBar(Qt::Vertical, ScrollBox1);
    HorzScrollBar = new QScrollBar(Qt::Horizontal, ScrollBox1);
    grid->addWidget(VertScrollBar, 0, 1);
    grid->addWidget(HorzScrollBar, 1, 0);
    VertScrollBar->hide();
    HorzScrollBar->hide();
    layout->addWidget(ScrollBox1, 1);

    SplitBox = new PaintBox(ScrollBox1);
    SplitBox->setCursor(Qt::PointingHandCursor);
    SplitBox->hide();

    // Empty, unless there is a before picture to switch to.
    auto* status = new QWidget(this);
    status->setFixedHeight(19);
    auto* statusLayout = new QHBoxLayout(status);
    statusLayout->setContentsMargins(4, 0, 0, 0);
    ShownLabel = new QLabel(status);
    statusLayout->addWidget(ShownLabel, 1);
    SplitBtn = new QPushButton(QStringLiteral("&Teilen"), status);
    SplitBtn->setCheckable(true);
    SplitBtn->setFixedHeight(19);
    SplitBtn->setAutoDefault(false);
    SplitBtn->setToolTip(QStringLiteral("Die Ansicht teilen: links Vorher, rechts Nachher, mit "
                                        "einem Zoom und einer Verschiebung (T); V tauscht die "
                                        "Seiten"));
    SplitBtn->hide();
    statusLayout->addWidget(SplitBtn);
    layout->addWidget(status);

    connect(ReadyBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(PrintBrn, &QPushButton::clicked, this, [this] { PrintBrnClick(); });
    connect(OpenBtn, &QPushButton::clicked, this, [this] { OpenBtnClick(); });
    connect(ZoomEd, &QSpinBox::valueChanged, this, [this] { ZoomEdChange(); });
    connect(FitBtn, &QPushButton::clicked, this, [this] { FitBtnClick(); });
    connect(SplitBtn, &QPushButton::clicked, this, [this] { SplitBtnClick(); });
    AddKeys(this, {Qt::Key_V}, [this] { SwitchBeforeAfter(); });
    AddKeys(this, {Qt::Key_T}, [this] { SplitBtnClick(); });
    AddKeys(this, {Qt::Key_Plus, Qt::CTRL | Qt::Key_Plus}, [this] { ZoomInOut(1); });
    AddKeys(this, {Qt::Key_Minus, Qt::CTRL | Qt::Key_Minus}, [this] { ZoomInOut(-1); });
    AddKeys(this, {Qt::CTRL | Qt::Key_0}, [this] { FitBtnClick(); });
    for (QScrollBar* bar : {HorzScrollBar, VertScrollBar})
        connect(bar, &QScrollBar::valueChanged, this, [this] { PaintBox1->Repaint(); });
    // The wheel scrolls by the viewer's steps over the picture and its bars;
    // the split half follows the picture box's size.
    for (QWidget* w : {static_cast<QWidget*>(PaintBox1), static_cast<QWidget*>(SplitBox),
                       static_cast<QWidget*>(HorzScrollBar), static_cast<QWidget*>(VertScrollBar)})
        w->installEventFilter(this);
    ZoomEd->installEventFilter(this);
    PaintBox1->OnPaint = [this] { PaintBox1Paint(); };
    PaintBox1->OnMouseDown = [this](Qt::MouseButton, int x, int y) {
        PaintBox1MouseDown(x + HorzScrollBar->value(), y + VertScrollBar->value());
    };
    PaintBox1->OnMouseMove = [this](Qt::MouseButton, int x, int y) {
        PaintBox1MouseMove(x + HorzScrollBar->value(), y + VertScrollBar->value());
    };
    PaintBox1->OnMouseUp = [this](Qt::MouseButton, int, int) { PaintBox1MouseUp(); };
    // The split half pans the one picture box: its points are the box's.
    SplitBox->OnPaint = [this] { SplitBoxPaint(); };
    SplitBox->OnMouseDown = [this](Qt::MouseButton, int x, int y) {
        PaintBox1MouseDown(x + SplitBox->x() + HorzScrollBar->value(), y + VertScrollBar->value());
    };
    SplitBox->OnMouseMove = [this](Qt::MouseButton, int x, int y) {
        PaintBox1MouseMove(x + SplitBox->x() + HorzScrollBar->value(), y + VertScrollBar->value());
    };
    SplitBox->OnMouseUp = [this](Qt::MouseButton, int, int) { PaintBox1MouseUp(); };

    Storage.Add(this, "NormalSize", QStringLiteral("Size"));
    Storage.Add(this, "Maximized", QStringLiteral("Maximized"));
    Storage.RestoreProps();
}

QSize TViewPicForm::NormalSize() const
{
    return isMaximized() && normalGeometry().isValid() ? normalGeometry().size() : size();
}

void TViewPicForm::SetNormalSize(const QSize& size)
{
    QSize bounded = size;
    if (const QScreen* s = screen())
        bounded = bounded.boundedTo(s->availableGeometry().size());
    resize(bounded);
}

void TViewPicForm::SetMaximized(bool maximized)
{
    setWindowState(maximized ? windowState() | Qt::WindowMaximized
                             : windowState() & ~Qt::WindowMaximized);
}

void TViewPicForm::UpdateScrollBars()
{
    const int areaW = ScrollBox1->width(), areaH = ScrollBox1->height();
    const int barW = VertScrollBar->sizeHint().width(), barH = HorzScrollBar->sizeHint().height();
    bool needH = box_.width > areaW;
    const bool needV = box_.height > areaH - (needH ? barH : 0);
    needH = box_.width > areaW - (needV ? barW : 0);
    if (HorzScrollBar->isVisibleTo(ScrollBox1) != needH)
        HorzScrollBar->setVisible(needH);
    if (VertScrollBar->isVisibleTo(ScrollBox1) != needV)
        VertScrollBar->setVisible(needV);
    const int viewW = areaW - (needV ? barW : 0), viewH = areaH - (needH ? barH : 0);
    const QSignalBlocker quietH(HorzScrollBar), quietV(VertScrollBar);
    HorzScrollBar->setRange(0, std::max(0, box_.width - viewW));
    HorzScrollBar->setPageStep(std::max(1, viewW));
    VertScrollBar->setRange(0, std::max(0, box_.height - viewH));
    VertScrollBar->setPageStep(std::max(1, viewH));
}

void TViewPicForm::ResizeBox()
{
    UpdateScrollBars();
    PaintBox1->Repaint();
}

void TViewPicForm::PaintBox1Paint()
{
    const TDibRecord& front = Front();
    const ZoomedSize zoomed =
        front.Bits ? ZoomedBoxSize(DibWidth(front), DibHeight(front), ZoomEd->value()) : box_;
    // The box takes the zoomed size in two steps, width then height; each
    // step paints anew.
    if (zoomed.width != box_.width) {
        box_.width = zoomed.width;
        ResizeBox();
        return;
    }
    if (zoomed.height != box_.height) {
        box_.height = zoomed.height;
        ResizeBox();
        return;
    }
    UpdateScrollBars();
    DrawView(PaintBox1, front, 0);
    if (split_)
        PlaceSplitBox();
    SplitBoxPaint();
}

void TViewPicForm::DrawView(PaintBox* box, const TDibRecord& picture, int offset)
{
    if (!picture.Bits)
        return;
    // The box and the scroll positions are in logical pixels; the view's
    // canvas has the screen's, so the box is drawn at the screen's resolution.
    HDC dc = box->Canvas();
    const QSize view = box->CanvasImage().size();
    ViewDraw d;
    if (VisibleDraw(DibWidth(picture), DibHeight(picture), LogicalToDevice(dc, box_.width),
                    LogicalToDevice(dc, box_.height),
                    LogicalToDevice(dc, HorzScrollBar->value() + offset),
                    LogicalToDevice(dc, VertScrollBar->value()), view.width(), view.height(), d))
        StretchDrawDib(dc, d.destX, d.destY, d.destWidth, d.destHeight, picture, d.srcX, d.srcY,
                       d.srcWidth, d.srcHeight, true, SRCCOPY, false, nullptr);
}

// Drawn whenever the picture box is: a half of its own has no gap to mind
// where the two pictures meet, whatever the zoom.
void TViewPicForm::SplitBoxPaint()
{
    if (!split_)
        return;
    HDC dc = SplitBox->Canvas();
    const QSize view = SplitBox->CanvasImage().size();
    const QColor erase = SplitBox->EraseColor();
    dc->SetBrush(
        RGB(std::uint8_t(erase.red()), std::uint8_t(erase.green()), std::uint8_t(erase.blue())));
    dc->FillRect(RECT{0, 0, view.width(), view.height()});
    DrawView(SplitBox, Back(), SplitBox->x() - PaintBox1->x());
    // the divider along the picture: dark and light, to show on any picture
    const int line = LogicalToDevice(dc, 1);
    const int height =
        std::min(view.height(), LogicalToDevice(dc, box_.height - VertScrollBar->value()));
    dc->SetBrush(RGB(0, 0, 0));
    dc->FillRect(RECT{0, 0, line, height});
    dc->SetBrush(RGB(255, 255, 255));
    dc->FillRect(RECT{line, 0, 2 * line, height});
}

const TDibRecord& TViewPicForm::Front() const
{
    return showBefore_ != split_ ? BeforeDib : ViewDib;
}

const TDibRecord& TViewPicForm::Back() const
{
    return showBefore_ != split_ ? ViewDib : BeforeDib;
}

// The halves are those of the picture's visible part, so that a picture
// smaller than the window is split too.
void TViewPicForm::PlaceSplitBox()
{
    const QRect view = PaintBox1->geometry();
    const int shown = std::clamp(box_.width - HorzScrollBar->value(), 0, view.width());
    const QRect half(view.x() + shown / 2, view.y(), view.width() - shown / 2, view.height());
    if (SplitBox->geometry() != half)
        SplitBox->setGeometry(half);
}

void TViewPicForm::ShowBefore(bool before)
{
    showBefore_ = before && BeforeDib.Bits && !split_;
    split_ = split_ && BeforeDib.Bits;
    ShowState();
}

void TViewPicForm::SwitchBeforeAfter()
{
    if (!BeforeDib.Bits)
        return;
    showBefore_ = !showBefore_;
    ShowState();
}

void TViewPicForm::SplitBtnClick()
{
    split_ = !split_ && BeforeDib.Bits;
    showBefore_ = false;
    ShowState();
}

void TViewPicForm::ShowState()
{
    const bool both = BeforeDib.Bits != nullptr;
    SplitBtn->setVisible(both);
    SplitBtn->setChecked(split_);
    QString shown;
    if (split_)
        shown = showBefore_ ? QStringLiteral("Links Nachher, rechts Vorher")
                            : QStringLiteral("Links Vorher, rechts Nachher");
    else if (both)
        shown = showBefore_ ? QStringLiteral("Vorher  (V: Nachher zeigen)")
                            : QStringLiteral("Nachher  (V: Vorher zeigen)");
    ShownLabel->setText(shown);
    PlaceSplitBox();
    SplitBox->setVisible(split_);
    SplitBox->raise();
    PaintBox1->Repaint();
}

void TViewPicForm::ZoomEdChange()
{
    PaintBox1Paint();
}

void TViewPicForm::PaintBox1MouseDown(int X, int Y)
{
    Dragging = true;
    DragX = X;
    DragY = Y;
}

void TViewPicForm::PaintBox1MouseMove(int X, int Y)
{
    if (!Dragging)
        return;
    const ScrollPos to = PanScroll({HorzScrollBar->value(), VertScrollBar->value()}, DragX, DragY,
                                   X, Y, box_.width, box_.height);
    HorzScrollBar->setValue(to.h);
    VertScrollBar->setValue(to.v);
}

void TViewPicForm::PaintBox1MouseUp()
{
    Dragging = false;
}

void TViewPicForm::FormMouseWheelDown()
{
    VertScrollBar->setValue(WheelScroll(VertScrollBar->value(), 1));
}

void TViewPicForm::FormMouseWheelUp()
{
    VertScrollBar->setValue(WheelScroll(VertScrollBar->value(), -1));
}

void TViewPicForm::FitBtnClick()
{
    ZoomEd->setValue(
        FitZoom(DibWidth(Front()), DibHeight(Front()), ScrollBox1->width(), ScrollBox1->height()));
}

void TViewPicForm::ZoomAt(int steps, QPoint at)
{
    // A point beside a small picture holds the picture's nearest edge.
    const int x = std::clamp(at.x(), 0, std::min(PaintBox1->width(), box_.width));
    const int y = std::clamp(at.y(), 0, std::min(PaintBox1->height(), box_.height));
    const ZoomedSize before = box_;
    const int h = HorzScrollBar->value(), v = VertScrollBar->value();
    ZoomEd->setValue(ZoomStep(ZoomEd->value(), steps)); // the box takes its size and paints
    if (box_ == before)
        return;
    {
        const QSignalBlocker quietH(HorzScrollBar), quietV(VertScrollBar);
        HorzScrollBar->setValue(ZoomScroll(h, x, before.width, box_.width));
        VertScrollBar->setValue(ZoomScroll(v, y, before.height, box_.height));
    }
    PaintBox1->Repaint();
}

void TViewPicForm::ZoomInOut(int steps)
{
    ZoomAt(steps, QPoint(std::min(PaintBox1->width(), box_.width) / 2,
                         std::min(PaintBox1->height(), box_.height) / 2));
}

void TViewPicForm::FormMouseWheel(QWheelEvent* event)
{
    event->accept();
    const int delta = event->angleDelta().y();
    if (event->modifiers() & Qt::ControlModifier) {
        // A touchpad turns in small amounts: one step per notch's worth.
        wheelZoom_ += delta;
        const int steps = wheelZoom_ / QWheelEvent::DefaultDeltasPerStep;
        wheelZoom_ -= steps * QWheelEvent::DefaultDeltasPerStep;
        if (steps != 0)
            ZoomAt(steps, PaintBox1->mapFromGlobal(event->globalPosition()).toPoint());
        return;
    }
    if (delta < 0)
        FormMouseWheelDown();
    else if (delta > 0)
        FormMouseWheelUp();
}

void TViewPicForm::wheelEvent(QWheelEvent* event)
{
    FormMouseWheel(event);
}

bool TViewPicForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ZoomEd) {
        // + and -, V and T act while the zoom field has the focus too: it
        // takes no signs or letters.
        if (event->type() == QEvent::ShortcutOverride) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Plus || key == Qt::Key_Minus || key == Qt::Key_V ||
                key == Qt::Key_T) {
                event->ignore();
                return true;
            }
        }
        return TStoredDialog::eventFilter(watched, event);
    }
    if (event->type() == QEvent::Wheel) {
        FormMouseWheel(static_cast<QWheelEvent*>(event));
        return true;
    }
    if (watched == PaintBox1 && event->type() == QEvent::Resize)
        PlaceSplitBox();
    return TStoredDialog::eventFilter(watched, event);
}

void TViewPicForm::OpenBtnClick()
{
    if (!PicFileName.empty())
        ShellOpen(PicFileName);
}

void TViewPicForm::PrintBrnClick()
{
    PrintImage(this, ViewDib);
}
