#include "depth/DepthPreviewViews.h"

#include "imagora/DibEncoders.h"
#include "imagora/Imagora.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

QImage PartImage(const TDibRecord& dib)
{
    QImage image(DibWidth(dib), DibHeight(dib), QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y)
        DibRowToRgb(dib, y, image.scanLine(y));
    return image;
}

namespace {

constexpr int kLine = 14;
constexpr int kLines = 4;

QString Decimal(double value, int decimals)
{
    return QString::number(value, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString Bytes(std::uint64_t bytes)
{
    if (bytes < 10000)
        return QStringLiteral("%1 Bytes").arg(bytes);
    if (bytes < 10000000)
        return QStringLiteral("%1 KB").arg(Decimal(double(bytes) / 1024, 0));
    return QStringLiteral("%1 MB").arg(Decimal(double(bytes) / (1024 * 1024), 1));
}

} // namespace

TDepthPreviewTile::TDepthPreviewTile(QWidget* parent, int bits, const DepthDownChoice& choice)
    : QWidget(parent), Choice(choice), bits_(bits)
{
    resize(kPartWidth, kPartHeight + kLines * kLine + 2);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Klicken wählt diese Methode und Palette"));
}

void TDepthPreviewTile::ShowPart(const QImage& part, const RECT& region)
{
    part_ = part;
    partRegion_ = region;
    update();
}

void TDepthPreviewTile::ShowFigures(const DepthFigures& figures)
{
    figures_ = figures;
    update();
}

void TDepthPreviewTile::SetChosen(bool chosen)
{
    if (chosen_ != chosen) {
        chosen_ = chosen;
        update();
    }
}

void TDepthPreviewTile::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect box(0, 0, kPartWidth, kPartHeight);
    p.fillRect(box, palette().color(QPalette::Mid));
    if (!part_.isNull()) {
        // one picture pixel to a device pixel: the part at 100 %
        QImage shown = part_;
        shown.setDevicePixelRatio(devicePixelRatioF());
        p.drawImage(QPointF(0, 0), shown);
    } else {
        p.drawText(box, Qt::AlignCenter, QStringLiteral("…"));
    }
    if (chosen_) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 3));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(box).adjusted(1.5, 1.5, -1.5, -1.5));
    }
    p.setPen(palette().color(QPalette::WindowText));
    QString figures[2] = {QStringLiteral("…"), QString()};
    if (figures_) {
        const QString db = std::isfinite(figures_->Psnr) ? Decimal(figures_->Psnr, 1) + " dB"
                                                         : QStringLiteral("verlustfrei");
        figures[0] = QStringLiteral("%1 Farben, %2").arg(figures_->Colours).arg(db);
        figures[1] = QStringLiteral("PNG %1").arg(Bytes(figures_->PngBytes));
    }
    const QString lines[kLines] = {QString::fromUtf8(DepthMethodName(Choice.Method)),
                                   QString::fromUtf8(DepthPaletteName(bits_, Choice)), figures[0],
                                   figures[1]};
    for (int i = 0; i < kLines; ++i)
        p.drawText(QRect(0, kPartHeight + 2 + i * kLine, width(), kLine),
                   Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
}

void TDepthPreviewTile::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && Clicked)
        Clicked();
}

TDepthOverview::TDepthOverview(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::CrossCursor);
    setToolTip(QStringLiteral("Klicken wählt den Ausschnitt der Vorschauen"));
}

void TDepthOverview::SetPicture(const TDibRecord& picture)
{
    width_ = DibWidth(picture);
    height_ = DibHeight(picture);
    thumb_ = QImage();
    if (width_ <= 0 || height_ <= 0)
        return update();
    // point samples of the picture, one for each device pixel of the view
    const QRectF placed = Placed();
    const double dpr = devicePixelRatioF();
    const int tw = std::max(1, int(placed.width() * dpr)), th = std::max(1, int(placed.height() * dpr));
    thumb_ = QImage(tw, th, QImage::Format_RGB888);
    std::vector<std::uint8_t> row(std::size_t(width_) * 3);
    for (int y = 0; y < th; ++y) {
        DibRowToRgb(picture, int(std::int64_t(y) * height_ / th), row.data());
        std::uint8_t* out = thumb_.scanLine(y);
        for (int x = 0; x < tw; ++x) {
            const std::uint8_t* s = row.data() + 3 * (std::int64_t(x) * width_ / tw);
            std::copy(s, s + 3, out + 3 * x);
        }
    }
    thumb_.setDevicePixelRatio(dpr);
    update();
}

void TDepthOverview::SetRegion(const RECT& region)
{
    region_ = region;
    update();
}

QRectF TDepthOverview::Placed() const
{
    if (width_ <= 0 || height_ <= 0)
        return {};
    const double scale = std::min(double(width()) / width_, double(height()) / height_);
    const double w = width_ * scale, h = height_ * scale;
    return QRectF((width() - w) / 2, (height() - h) / 2, w, h);
}

void TDepthOverview::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Mid));
    if (thumb_.isNull())
        return;
    const QRectF placed = Placed();
    p.drawImage(placed.topLeft(), thumb_);
    const double scale = placed.width() / width_;
    const QRectF part(placed.left() + region_.left * scale, placed.top() + region_.top * scale,
                      std::max(2.0, (region_.right - region_.left) * scale),
                      std::max(2.0, (region_.bottom - region_.top) * scale));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(part.adjusted(-1, -1, 1, 1));
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(part);
}

void TDepthOverview::mousePressEvent(QMouseEvent* e)
{
    const QRectF placed = Placed();
    if (e->button() != Qt::LeftButton || !Picked || placed.isEmpty())
        return;
    const QPointF at = e->position() - placed.topLeft();
    const double scale = placed.width() / width_;
    Picked(std::clamp(int(at.x() / scale), 0, width_ - 1),
           std::clamp(int(at.y() / scale), 0, height_ - 1));
}
