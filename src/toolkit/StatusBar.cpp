#include "toolkit/StatusBar.h"

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
