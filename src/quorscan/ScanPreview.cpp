#include "quorscan/ScanPreview.h"

#include "imagora/Imagora.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstring>

QImage DibToImage(const TDibRecord& dib)
{
    const int bits = DibBitCount(dib);
    if (!dib.Bits || (bits != 1 && bits != 8 && bits != 24))
        return {};
    const QImage::Format format = bits == 24  ? QImage::Format_BGR888
                                  : bits == 8 ? QImage::Format_Indexed8
                                              : QImage::Format_Mono;
    QImage image(DibWidth(dib), DibHeight(dib), format);
    if (bits <= 8) {
        QList<QRgb> table;
        for (int i = 0; i < (1 << bits); ++i) {
            const RGBQUAD& q = dib.Info->bmiColors[i];
            table.append(qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue));
        }
        image.setColorTable(table);
    }
    const std::size_t bytes = std::size_t(DibWidth(dib) * bits + 7) / 8;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), DibRowFromTop(dib, y), bytes);
    return image;
}

TScanPreview::TScanPreview(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(200, 200);
    setCursor(Qt::CrossCursor);
    setToolTip(QStringLiteral("Ziehen Sie mit der Maus den Bereich auf, der gescannt werden soll"));
}

void TScanPreview::SetBedAspect(double aspect)
{
    aspect_ = aspect > 0 ? aspect : 1;
    update();
}

void TScanPreview::SetPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void TScanPreview::SetArea(const QRectF& area)
{
    area_ = area;
    update();
}

QRect TScanPreview::BedRect() const
{
    const int margin = 4;
    const int w = width() - 2 * margin, h = height() - 2 * margin;
    if (w <= 0 || h <= 0)
        return {};
    const int bedW = std::min(w, int(h * aspect_));
    const int bedH = std::min(h, int(w / aspect_));
    return QRect(margin + (w - bedW) / 2, margin + (h - bedH) / 2, bedW, bedH);
}

QPointF TScanPreview::ToBed(const QPoint& p) const
{
    const QRect bed = BedRect();
    if (bed.isEmpty())
        return {};
    return QPointF(std::clamp((p.x() - bed.left()) / double(bed.width()), 0.0, 1.0),
                   std::clamp((p.y() - bed.top()) / double(bed.height()), 0.0, 1.0));
}

void TScanPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    const QRect bed = BedRect();
    painter.fillRect(bed, Qt::white);
    if (!picture_.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(bed, picture_);
    }
    if (area_.isEmpty())
        return;
    const QRectF band(bed.left() + area_.left() * bed.width(),
                      bed.top() + area_.top() * bed.height(), area_.width() * bed.width(),
                      area_.height() * bed.height());
    // Veil what lies outside the area in grey, which shows on dark and light
    // pictures alike, then draw the band white under black dashes.
    QPainterPath outside;
    outside.addRect(bed);
    outside.addRect(band);
    painter.fillPath(outside, QColor(128, 128, 128, 150));
    const QRectF edge = band.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(Qt::white, 2));
    painter.drawRect(edge);
    painter.setPen(QPen(Qt::black, 2, Qt::DashLine));
    painter.drawRect(edge);
}

void TScanPreview::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || area_.isNull())
        return;
    dragging_ = true;
    dragStart_ = ToBed(event->pos());
    areaBefore_ = area_;
}

void TScanPreview::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_)
        return;
    area_ = QRectF(dragStart_, ToBed(event->pos())).normalized();
    update();
}

void TScanPreview::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging_ || event->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    area_ = QRectF(dragStart_, ToBed(event->pos())).normalized();
    const QRect bed = BedRect();
    // A click without a drag keeps the area the scanner has.
    if (area_.width() * bed.width() < 3 || area_.height() * bed.height() < 3)
        area_ = areaBefore_;
    else if (OnAreaChosen)
        OnAreaChosen(area_);
    update();
}
