#include "toolkit/StatusBar.h"

#include <QPainter>

TStatusBar::TStatusBar(QWidget* parent) : CanvasWidget(Resolution::Logical, parent)
{
    setFixedHeight(19);
}

void TStatusBar::SetPanels(std::vector<Panel> panels)
{
    panels_ = std::move(panels);
    Repaint();
}

RECT TStatusBar::PanelRect(int index) const
{
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += panels_[std::size_t(i)].width;
    const int right = left + panels_[std::size_t(index)].width - 2;
    return RECT{left + 1, 3, right, height() - 1};
}

void TStatusBar::SetPanelText(int index, const QString& text)
{
    QString& shown = panels_[std::size_t(index)].text;
    if (shown == text)
        return;
    shown = text;
    update();
}

QString TStatusBar::PanelText(int index) const
{
    return panels_[std::size_t(index)].text;
}

void TStatusBar::paintEvent(QPaintEvent* event)
{
    CanvasWidget::paintEvent(event);
    // Text on the canvas would be drawn at its logical resolution, blurred
    // on a HiDPI screen: it goes on top here, at the screen's.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    for (int i = 0; i < int(panels_.size()); ++i) {
        const Panel& panel = panels_[std::size_t(i)];
        if (panel.ownerDrawn || panel.text.isEmpty())
            continue;
        const RECT r = PanelRect(i);
        const QRect box(r.left + 3, r.top, r.right - r.left - 6, r.bottom - r.top);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(panel.text, Qt::ElideRight, box.width()));
    }
}

void TStatusBar::PaintCanvas()
{
    HDC dc = Canvas();
    const COLORREF shadow = RGB(160, 160, 160), light = RGB(255, 255, 255);
    for (int i = 0; i < int(panels_.size()); ++i) {
        const RECT r = PanelRect(i);
        // a sunken bevel around the panel
        dc->SetPen(shadow);
        dc->MoveTo(r.left - 1, r.bottom);
        dc->LineTo(r.left - 1, r.top - 1);
        dc->LineTo(r.right + 1, r.top - 1);
        dc->SetPen(light);
        dc->MoveTo(r.right, r.top);
        dc->LineTo(r.right, r.bottom);
        dc->LineTo(r.left - 1, r.bottom);
        if (panels_[std::size_t(i)].ownerDrawn && OnDrawPanel)
            OnDrawPanel(this, i, r);
    }
}
