// A dialog that closes leaves no piece of itself on the screen while the
// command it started runs without painting.
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

#include <cstdlib>
#include <thread>

namespace {

// The window's area of the screen as another client of the X server sees
// it: unlike a grab over the program's own connection, which hands the server
// everything first, it shows only what the program has sent.
class OtherClient {
public:
    OtherClient() : c_(xcb_connect(nullptr, nullptr)) {}
    ~OtherClient() { xcb_disconnect(c_); }

    QImage Grab(const QWidget* window) const
    {
        const qreal scale = window->devicePixelRatio();
        const QRect r(window->geometry().topLeft() * scale, window->size() * scale);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            c_,
            xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, root, std::int16_t(r.x()),
                          std::int16_t(r.y()), std::uint16_t(r.width()), std::uint16_t(r.height()),
                          ~0u),
            nullptr);
        QImage image;
        if (reply && xcb_get_image_data_length(reply) >= r.width() * r.height() * 4)
            image = QImage(xcb_get_image_data(reply), r.width(), r.height(), QImage::Format_RGB32)
                        .copy();
        std::free(reply);
        return image;
    }

private:
    xcb_connection_t* c_;
};

// Holds back the X server's word that the window must be painted anew. It
// mostly reaches the program while the dialog's loop still runs, which then
// paints in time; a command that starts at once would get it only when done.
class HeldBackExposure final : public QAbstractNativeEventFilter {
public:
    explicit HeldBackExposure(const QWidget* window) : window_(xcb_window_t(window->winId()))
    {
        QApplication::instance()->installNativeEventFilter(this);
    }
    ~HeldBackExposure() override { QApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        return type == "xcb_generic_event_t" && (event->response_type & 0x7F) == XCB_EXPOSE &&
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
        // no button under the pointer changes its look meanwhile
        QCursor::setPos(form->geometry().bottomRight() + QPoint(200, 200));
    }

    // Waits, running no event as a long command would not, until the other
    // client sees the window as expected; false if it never does.
    bool ShowsWhileBusy(const QImage& expected, int timeoutMs = 3000)
    {
        QElapsedTimer waited;
        waited.start();
        while (other.Grab(form.get()) != expected && waited.elapsed() < timeoutMs)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return other.Grab(form.get()) == expected;
    }

    OtherClient other;
};

TEST_F(DialogsOnScreen, TheWindowIsWholeAgainBeforeTheCommandRuns)
{
    for (QDialog* dialog : std::initializer_list<QDialog*>{
             form->RotateForm, form->ResizeForm, form->DepthChangeForm, form->DepthDownForm}) {
        const std::string name = dialog->windowTitle().toStdString();
        ASSERT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "before " << name;
        const QImage whole = other.Grab(form.get());
        ASSERT_FALSE(whole.isNull());
        HeldBackExposure heldBack(form.get());
        dialog->move(form->geometry().center() - dialog->rect().center());
        // closed as soon as it shows
        bool shown = false;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            shown = dialog->isVisible() && other.Grab(form.get()) != whole;
            if (shown)
                dialog->accept();
        });
        closer.start(10);
        QTimer::singleShot(5000, dialog, &QDialog::reject);
        ShowModal(*dialog);
        ASSERT_TRUE(shown) << name;
        EXPECT_TRUE(ShowsWhileBusy(whole)) << name;
    }
}

} // namespace
