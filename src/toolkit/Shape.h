// A rectangle with a black border filled with its brush colour, such as a
// swatch showing a chosen colour.
#pragma once

#include <QColor>
#include <QWidget>

class TShape final : public QWidget {
    Q_OBJECT
public:
    explicit TShape(QWidget* parent = nullptr);

    QColor BrushColor() const { return brush_; }
    void SetBrushColor(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor brush_ = Qt::white;
};
