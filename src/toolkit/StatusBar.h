// A status bar of fixed-width panels drawn on a persistent canvas. Owner-drawn
// panels are painted by the form's handler after the panel was erased; the
// others show a line of text, drawn at the screen's resolution.
#pragma once

#include "toolkit/CanvasWidget.h"

#include <QString>

#include <functional>
#include <vector>

class TStatusBar final : public CanvasWidget {
    Q_OBJECT
public:
    struct Panel {
        int width;
        bool ownerDrawn;
        QString text = {};
    };

    explicit TStatusBar(QWidget* parent = nullptr);

    void SetPanels(std::vector<Panel> panels);
    // The inside of panel i, as handed to the draw handler.
    RECT PanelRect(int index) const;

    void SetPanelText(int index, const QString& text);
    QString PanelText(int index) const;

    std::function<void(TStatusBar* bar, int panel, const RECT& rect)> OnDrawPanel;

protected:
    void PaintCanvas() override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<Panel> panels_;
};
