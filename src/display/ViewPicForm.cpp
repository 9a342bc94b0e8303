#include "display/ViewPicForm.h"

#include "app/PageFrame.h"
#include "display/StretchDrawDib.h"
#include "io/PrintImage.h"
#include "toolkit/Fonts.h"
#include "toolkit/PaintBox.h"
#include "toolkit/Shell.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

QPushButton* TopButton(const QString& caption, QWidget* parent, int x)
{
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(x, 8, 97, 25);
    button->setAutoDefault(false); // Return in the zoom field only sets the zoom
    return button;
}

} // namespace

TViewPicForm::TViewPicForm(QWidget* parent) : QDialog(parent)
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
    ZoomEd->setRange(5, 9000);
    ZoomEd->setSingleStep(10);
    ZoomEd->setValue(100);
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

    auto* status = new QWidget(this); // the status bar stays empty
    status->setFixedHeight(19);
    layout->addWidget(status);

    connect(ReadyBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(PrintBrn, &QPushButton::clicked, this, [this] { PrintBrnClick(); });
    connect(OpenBtn, &QPushButton::clicked, this, [this] { OpenBtnClick(); });
    connect(ZoomEd, &QSpinBox::valueChanged, this, [this] { ZoomEdChange(); });
    for (QScrollBar* bar : {HorzScrollBar, VertScrollBar})
        connect(bar, &QScrollBar::valueChanged, this, [this] { PaintBox1->Repaint(); });
    // The wheel scrolls by the viewer's steps over the picture and its bars.
    for (QWidget* w : {static_cast<QWidget*>(PaintBox1), static_cast<QWidget*>(HorzScrollBar),
                       static_cast<QWidget*>(VertScrollBar)})
        w->installEventFilter(this);
    PaintBox1->OnPaint = [this] { PaintBox1Paint(); };
    PaintBox1->OnMouseDown = [this](Qt::MouseButton, int x, int y) {
        PaintBox1MouseDown(x + HorzScrollBar->value(), y + VertScrollBar->value());
    };
    PaintBox1->OnMouseMove = [this](Qt::MouseButton, int x, int y) {
        PaintBox1MouseMove(x + HorzScrollBar->value(), y + VertScrollBar->value());
    };
    PaintBox1->OnMouseUp = [this](Qt::MouseButton, int, int) { PaintBox1MouseUp(); };
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
    const int w = DibWidth(ViewDib), h = DibHeight(ViewDib);
    const ZoomedSize zoomed = ViewDib.Bits ? ZoomedBoxSize(w, h, ZoomEd->value()) : box_;
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
    ViewDraw d;
    if (ViewDib.Bits &&
        VisibleDraw(w, h, box_.width, box_.height, HorzScrollBar->value(), VertScrollBar->value(),
                    PaintBox1->width(), PaintBox1->height(), d))
        StretchDrawDib(PaintBox1->Canvas(), d.destX, d.destY, d.destWidth, d.destHeight, ViewDib,
                       d.srcX, d.srcY, d.srcWidth, d.srcHeight, true, SRCCOPY, false, nullptr);
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

void TViewPicForm::FormMouseWheel(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta < 0)
        FormMouseWheelDown();
    else if (delta > 0)
        FormMouseWheelUp();
    event->accept();
}

void TViewPicForm::wheelEvent(QWheelEvent* event)
{
    FormMouseWheel(event);
}

bool TViewPicForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        FormMouseWheel(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QDialog::eventFilter(watched, event);
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
