// A dialog that closes leaves no piece of itself on the screen, also while
// the command it started runs without painting: the window under it is whole
// again, on the X server, before the command begins.
#include "MainWindowFixture.h"
#include "ScreenGrab.h"

#include "depth/DepthChangeForm.h"
#include "depth/DepthDownForm.h"
#include "geometry/ResizeForm.h"
#include "geometry/RotateForm.h"
#include "imagora/DibWriter.h"
#include "toolkit/ModalDialog.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// The screen as another client of the X server sees it: what the program
// has drawn but not yet handed to the server does not show here, unlike in a
// grab over the program's own connection, which hands everything over first.
class OtherClient {
public:
    OtherClient() : connection_(xcb_connect(nullptr, nullptr)) {}
    ~OtherClient() { xcb_disconnect(connection_); }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    bool Connected() const { return !xcb_connection_has_error(connection_); }

    // The window's area of the screen, in device pixels.
    QImage Grab(const QWidget* window) const
    {
        const qreal scale = window->devicePixelRatio();
        const QRect area(window->geometry().topLeft() * scale, window->size() * scale);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            connection_,
            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root, std::int16_t(area.x()),
                          std::int16_t(area.y()), std::uint16_t(area.width()),
                          std::uint16_t(area.height()), ~0u),
            nullptr);
        QImage image(area.size(), QImage::Format_RGB32);
        if (!reply || xcb_get_image_data_length(reply) < int(image.sizeInBytes())) {
            std::free(reply);
            return {};
        }
        const std::uint8_t* data = xcb_get_image_data(reply);
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            std::memcpy(row, data + std::size_t(y) * std::size_t(image.width()) * 4,
                        std::size_t(image.width()) * 4);
            for (int x = 0; x < image.width(); ++x)
                row[x] |= 0xFF000000u; // the server leaves the fourth byte undefined
        }
        std::free(reply);
        return image;
    }

private:
    xcb_connection_t* connection_;
};

// Keeps the X server's word that part of a window needs painting from the
// program for as long as it lives. A dialog's close usually reaches the
// program before its loop ends, which then paints the window in time; a long
// command that starts at once gets the word only when it is done. With the
// word held back, the screen shows only what the program paints of itself.
class HeldBackExposure final : public QAbstractNativeEventFilter {
public:
    explicit HeldBackExposure(const QWidget* window) : window_(xcb_window_t(window->winId()))
    {
        QApplication::instance()->installNativeEventFilter(this);
    }
    ~HeldBackExposure() override { QApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        return (event->response_type & 0x7F) == XCB_EXPOSE &&
               reinterpret_cast<const xcb_expose_event_t*>(event)->window == window_;
    }

private:
    xcb_window_t window_;
};

class DialogsOnScreen : public MainWindowTest {
protected:
    void SetUp() override
    {
        REQUIRE_X_SCREEN();
        MainWindowTest::SetUp();
        ASSERT_TRUE(other.Connected());
        // detail everywhere, so that any piece of a dialog left standing shows
        const std::string path = programDir + "photo.bmp";
        DibGuard photo(MakeDib(640, 480, 24, [](int x, int y) {
            return RGB(std::uint8_t(x * 255 / 639), std::uint8_t(y * 255 / 479),
                       std::uint8_t((x ^ y) & 0xC0));
        }));
        ASSERT_TRUE(WriteDibFile(photo.dib, path));
        form->OpenFileNow(path);
        form->PageControl2->setCurrentWidget(form->TabSheet1);
        form->show();
        ASSERT_TRUE(WaitUntil([this] { return form->windowHandle()->isExposed(); }));
        // the pointer away from the window: no button under it changes its look meanwhile
        QCursor::setPos(form->geometry().bottomRight() + QPoint(200, 200));
    }

    // Shows dialog over the window's middle through ShowModal and closes it
    // as soon as another client sees it on the screen. True once it was seen.
    bool ShowAndClose(QDialog& dialog)
    {
        dialog.move(form->geometry().center() - dialog.rect().center());
        const QImage whole = other.Grab(form.get());
        bool seen = false;
        QElapsedTimer waited;
        waited.start();
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            seen = dialog.isVisible() && other.Grab(form.get()) != whole;
            if (seen)
                dialog.accept();
            else if (waited.elapsed() > 5000)
                dialog.reject();
        });
        closer.start(10);
        ShowModal(dialog);
        return seen;
    }

    // Waits without running any event, as a long command would, until
    // another client sees the window as expected; false if it never does.
    bool ScreenBecomesWhileBusy(const QImage& expected)
    {
        QElapsedTimer waited;
        waited.start();
        while (other.Grab(form.get()) != expected) {
            if (waited.elapsed() > 3000)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    OtherClient other;
};

TEST_F(DialogsOnScreen, TheWindowIsWholeAgainBeforeTheCommandRuns)
{
    QDialog* const dialogs[] = {form->RotateForm, form->ResizeForm, form->DepthChangeForm,
                                form->DepthDownForm};
    for (QDialog* dialog : dialogs) {
        ASSERT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "before the dialog";
        const QImage whole = other.Grab(form.get());
        ASSERT_FALSE(whole.isNull());
        HeldBackExposure heldBack(form.get());
        ASSERT_TRUE(ShowAndClose(*dialog)) << dialog->windowTitle().toStdString();
        EXPECT_TRUE(ScreenBecomesWhileBusy(whole)) << dialog->windowTitle().toStdString();
    }
}

} // namespace
