#include "ScreenFixture.h"

#include "display/FitInBox.h"
#include "imagora/DibWriter.h"

#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>

#include <cmath>
#include <vector>

QRgb BlockColour(int column, int row)
{
    return qRgb(30 + 30 * column, 40 + 35 * row, (column + row) % 2 ? 220 : 60);
}

TDibRecord MakeBlockPicture(int width, int height, bool mirrored)
{
    return MakeDib(width, height, 24, [=](int x, int y) {
        const int column = x * kBlockColumns / width;
        const QRgb c =
            BlockColour(mirrored ? kBlockColumns - 1 - column : column, y * kBlockRows / height);
        return RGB(std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c)));
    });
}

void ScreenTest::SetUp()
{
    REQUIRE_X_SCREEN();
    MainWindowTest::SetUp();
    // The windows open in the middle of the screen; the pointer waits in a
    // corner, where it hovers over nothing.
    QCursor::setPos(QGuiApplication::primaryScreen()->geometry().bottomRight());
}

qreal ScreenTest::Scale()
{
    return qApp->devicePixelRatio();
}

QRect ScreenTest::ToDevice(const QRect& logical)
{
    const auto device = [](int v) { return int(std::lround(v * Scale())); };
    return QRect(device(logical.x()), device(logical.y()), device(logical.width()),
                 device(logical.height()));
}

namespace {

std::string Hex(QRgb colour)
{
    return QColor(colour).name().toStdString();
}

// The X server shows the window, at the size the widget has.
bool OnScreenAtItsSize(QWidget* window)
{
    const QWindow* w = window->windowHandle();
    return w && w->isExposed() && w->size() == window->size();
}

} // namespace

::testing::AssertionResult ScreenTest::ShowOnScreen(QWidget* window)
{
    window->show();
    if (!WaitUntil([window] { return OnScreenAtItsSize(window); }))
        return ::testing::AssertionFailure() << "the window did not appear on the screen";
    // as many screen pixels as the scale asks for
    const QSize grabbed = GrabScreen(window).size(), wanted = window->size() * Scale();
    if (grabbed != wanted)
        return ::testing::AssertionFailure()
               << "the screen shows the window at " << grabbed.width() << " x " << grabbed.height()
               << " pixels, not " << wanted.width() << " x " << wanted.height();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ScreenTest::ResizeOnScreen(QWidget* window, QSize size)
{
    window->resize(size);
    if (WaitUntil([=] { return window->size() == size && OnScreenAtItsSize(window); }))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the window did not take its new size";
}

QRect ScreenTest::FittedOnScreen(const QWidget* box, int width, int height)
{
    const FittedSize fit = AspectFit(box->width(), box->height(), width, height);
    return ToDevice(QRect(0, 0, fit.width, fit.height));
}

void ScreenTest::OpenPicture(const TDibRecord& picture)
{
    const std::string path = programDir + "photo.bmp";
    ASSERT_TRUE(WriteDibFile(picture, path));
    form->OpenFileNow(path);
    ASSERT_EQ(DibWidth(form->WorkDib), DibWidth(picture));
}

::testing::AssertionResult SamplesOnScreen(QWidget* widget,
                                           const std::vector<ScreenSample>& samples)
{
    QWidget* window = widget->window();
    SyncWithScreen(window);
    const QImage screen = GrabScreen(window);
    const qreal scale = window->devicePixelRatioF();
    const QPoint origin = (QPointF(widget->mapTo(window, QPoint(0, 0))) * scale).toPoint();
    const QRect shown = QRect(origin, (QSizeF(widget->size()) * scale).toSize()) & screen.rect();
    int looked = 0;
    for (const ScreenSample& s : samples) {
        const QPoint p = origin + s.at;
        if (!shown.contains(p))
            continue;
        ++looked;
        const QRgb seen = screen.pixel(p) & RGB_MASK, wanted = s.colour & RGB_MASK;
        if (seen == wanted)
            continue;
        QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/kelvora-screen-XXXXXX"));
        folder.setAutoRemove(false);
        screen.save(folder.filePath(QStringLiteral("shown.png")));
        return ::testing::AssertionFailure()
               << "at screen pixel (" << p.x() << ", " << p.y() << "), " << s.what
               << ", the screen shows " << Hex(seen) << " where " << Hex(wanted)
               << " belongs; see shown.png in " << folder.path().toStdString();
    }
    if (looked == 0)
        return ::testing::AssertionFailure() << "no sample lies on the widget";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult PictureOnScreen(QWidget* widget, const QRect& rect, bool mirrored,
                                           std::optional<QRgb> around)
{
    const auto block = [&](int column, int row) {
        return BlockColour(mirrored ? kBlockColumns - 1 - column : column, row);
    };
    const QPoint o = rect.topLeft();
    const int w = rect.width(), h = rect.height();
    std::vector<ScreenSample> samples;
    for (int row = 0; row < kBlockRows; ++row)
        for (int column = 0; column < kBlockColumns; ++column)
            samples.push_back(
                {o + QPoint((2 * column + 1) * w / (2 * kBlockColumns),
                            (2 * row + 1) * h / (2 * kBlockRows)),
                 block(column, row),
                 "the middle of block " + std::to_string(column) + ", " + std::to_string(row)});
    samples.push_back({o, block(0, 0), "the picture's top-left corner"});
    samples.push_back(
        {o + QPoint(w - 1, 0), block(kBlockColumns - 1, 0), "the picture's top-right corner"});
    samples.push_back(
        {o + QPoint(0, h - 1), block(0, kBlockRows - 1), "the picture's bottom-left corner"});
    samples.push_back({o + QPoint(w - 1, h - 1), block(kBlockColumns - 1, kBlockRows - 1),
                       "the picture's bottom-right corner"});
    if (around) {
        samples.push_back({o + QPoint(w, h / 2), *around, "right of the picture"});
        samples.push_back({o + QPoint(w / 2, h), *around, "below the picture"});
    }
    return SamplesOnScreen(widget, samples);
}
