#include "toolkit/ImageBtn.h"

#include <QMouseEvent>
#include <QPainter>

TImageBtn::TImageBtn(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void TImageBtn::SetPicture(const QPixmap& picture)
{
    picture_ = picture;
    setFixedSize(picture_.deviceIndependentSize().toSize());
    update();
}

void TImageBtn::SetPicture2(const QPixmap& picture)
{
    picture2_ = picture;
}

void TImageBtn::Show2(bool second)
{
    if (showing2_ == second)
        return;
    showing2_ = second;
    repaint();
}

void TImageBtn::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPixmap& shown = showing2_ && !picture2_.isNull() ? picture2_ : picture_;
    painter.drawPixmap(rect(), shown);
}

void TImageBtn::mousePressEvent(QMouseEvent*)
{
    held_ = true;
    Show2(true);
}

void TImageBtn::mouseMoveEvent(QMouseEvent* event)
{
    if (held_)
        Show2(rect().contains(event->position().toPoint()));
}

void TImageBtn::mouseReleaseEvent(QMouseEvent* event)
{
    if (!held_)
        return;
    held_ = false;
    const bool inside = rect().contains(event->position().toPoint());
    Show2(false);
    if (inside && OnClick)
        OnClick();
}
