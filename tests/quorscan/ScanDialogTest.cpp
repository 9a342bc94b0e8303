// The scan dialog and the device list on the test scanner, driven as a user
// would drive them.
#include "ScanTestSupport.h"

#include "DialogAnswer.h"
#include "quorscan/Quorscan.h"
#include "quorscan/SaneWait.h"
#include "quorscan/ScanDialog.h"
#include "quorscan/ScanPreview.h"
#include "quorscan/ScanStatus.h"
#include "quorscan/ScannedPictures.h"
#include "quorscan/ScannerListDialog.h"
#include "toolkit/WindowMessages.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QTimer>
#include <QTreeWidget>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

// Records the window messages posted to it.
class MessageSink final : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() != WindowMessageEvent::EventType())
            return QObject::event(e);
        const auto* m = static_cast<WindowMessageEvent*>(e);
        messages.emplace_back(m->Message(), m->WParam());
        return true;
    }
    std::vector<std::pair<int, std::intptr_t>> messages;
};

class ScanDialog : public TestScanner {
protected:
    void SetUp() override
    {
        TestScanner::SetUp();
        boxes = std::make_unique<MessageBoxRecorder>();
        QSettings().remove("TScanDialog"); // each test starts from the scanner's defaults
        QSettings().remove("quorscan");
    }
    void TearDown() override
    {
        dialog.reset();
        boxes.reset();
        TestScanner::TearDown();
    }
    TScanDialog& Open()
    {
        dialog = std::make_unique<TScanDialog>(*device, &sink, QStringLiteral("Scannen"));
        return *dialog;
    }
    void WaitForScan()
    {
        QElapsedTimer timer;
        timer.start();
        while (dialog->Scanning() && timer.elapsed() < 30000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        QApplication::processEvents(); // the posted message
    }
    void Choose(const char* option, const QString& value)
    {
        auto* combo = qobject_cast<QComboBox*>(dialog->OptionControl(QString::fromLatin1(option)));
        ASSERT_TRUE(combo) << option;
        const int i = combo->findData(value);
        ASSERT_GE(i, 0) << value.toStdString();
        combo->setCurrentIndex(i);
        emit combo->activated(i);
    }
    double Value(const char* name)
    {
        const std::vector<ScanOption> options = ReadScanOptions(device->Handle());
        ScanValue v;
        GetScanValue(device->Handle(), *FindScanOption(options, name), v);
        return std::get<double>(v);
    }
    void Drag(QWidget* w, QPoint from, QPoint to)
    {
        QMouseEvent press(QEvent::MouseButtonPress, from, w->mapToGlobal(from), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent move(QEvent::MouseMove, to, w->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, to, w->mapToGlobal(to), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &move);
        QApplication::sendEvent(w, &release);
    }

    MessageSink sink;
    std::unique_ptr<MessageBoxRecorder> boxes;
    std::unique_ptr<TScanDialog> dialog;
};

TEST_F(ScanDialog, ControlsComeFromTheScannersOwnOptions)
{
    Open();
    QStringList groups;
    for (const QGroupBox* box : dialog->OptionsBox->widget()->findChildren<QGroupBox*>())
        groups << box->title();
    EXPECT_EQ(groups, (QStringList{"Scanmodus", "Spezialoptionen", "Scanbereich"}));
    EXPECT_EQ(dialog->OptionControl("resolution")->toolTip(),
              "Legt die Auflösung des Bildes fest.");
    const auto* mode = qobject_cast<QComboBox*>(dialog->OptionControl("mode"));
    EXPECT_EQ(mode->itemText(1), "Farbe") << "the backend's own value stays behind it";
    EXPECT_TRUE(dialog->OptionControl("resolution"));
    EXPECT_TRUE(dialog->OptionControl("depth"));
    EXPECT_FALSE(dialog->OptionControl("three-pass")) << "inactive in grey";
    EXPECT_FALSE(dialog->OptionControl("gamma-table")) << "an array";
    Choose("mode", "Color");
    EXPECT_TRUE(dialog->OptionControl("three-pass")) << "the controls follow the scanner";
    EXPECT_EQ(Value("depth"), 8);
}

TEST_F(ScanDialog, EveryControlHasATooltip)
{
    Set({"enable-test-options=yes"}); // switches, texts and buttons among the options
    TScannerListDialog list("",
                            FoundScanners{{{"test:0", "Noname", "tester", "virtual device"}}, {}});
    TSaneWaitDialog wait(QStringLiteral("Es wird gesucht …"), nullptr);
    for (QDialog* d : std::initializer_list<QDialog*>{&Open(), &list, &wait})
        for (QWidget* w : d->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                                 qobject_cast<QAbstractSpinBox*>(w) ||
                                 qobject_cast<QLineEdit*>(w) || qobject_cast<QProgressBar*>(w) ||
                                 qobject_cast<QTreeWidget*>(w);
            // (a spin box's own line edit shows the box's tooltip)
            if (control && !qobject_cast<QAbstractSpinBox*>(w->parentWidget())) {
                EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
            }
        }
}

TEST_F(ScanDialog, OptionsAndPreviewComeBackAtTheNextOpening)
{
    Open();
    Choose("mode", "Color");
    dialog->StartPreview();
    WaitForScan();
    const QImage preview = dialog->Preview->Picture();
    ASSERT_FALSE(preview.isNull());
    dialog->reject(); // a closed dialog remembers too
    dialog.reset();
    device.reset();
    device = std::make_unique<ScanDevice>("test:0"); // with the backend's defaults again

    Open();
    EXPECT_TRUE(dialog->OptionControl("three-pass")) << "in colour again";
    EXPECT_EQ(dialog->Preview->Picture(), preview);
    EXPECT_EQ(Value("resolution"), 50) << "not the preview's own resolution";
    ScanDevice other("test:1");
    TScanDialog otherDialog(other, &sink, QStringLiteral("Scannen"));
    EXPECT_FALSE(otherDialog.OptionControl("three-pass")) << "each device has its own";
    EXPECT_TRUE(otherDialog.Preview->Picture().isNull());
}

TEST_F(ScanDialog, RubberBandSetsTheScanArea)
{
    Open().resize(900, 700);
    dialog->show();
    QApplication::processEvents();
    const QRect bed = dialog->Preview->BedRect();
    ASSERT_GT(bed.width(), 100);
    auto at = [&](double fx, double fy) {
        return QPoint(bed.left() + int(std::lround(fx * bed.width())),
                      bed.top() + int(std::lround(fy * bed.height())));
    };
    Drag(dialog->Preview, at(0.4, 0.6), at(0.1, 0.2)); // dragged up and left
    // The bed is 300 mm both ways.
    EXPECT_NEAR(Value("tl-x"), 30, 1.5);
    EXPECT_NEAR(Value("tl-y"), 60, 1.5);
    EXPECT_NEAR(Value("br-x"), 120, 1.5);
    EXPECT_NEAR(Value("br-y"), 180, 1.5);
    const QRectF band = dialog->Preview->Area();
    EXPECT_NEAR(band.left(), Value("tl-x") / 300, 1e-9) << "the band shows what the scanner took";
}

TEST_F(ScanDialog, PreviewShowsTheWholeBedAndKeepsTheSettings)
{
    Set({"resolution=300", "mode=Color", "test-picture=Grid"});
    Open().StartPreview();
    WaitForScan();
    EXPECT_EQ(dialog->Preview->Picture().width(), 885) << "300 mm at 75 dpi";
    EXPECT_EQ(dialog->Preview->Picture().height(), 885);
    EXPECT_EQ(Value("resolution"), 300);
    EXPECT_EQ(Value("br-x"), 80);
    EXPECT_EQ(Value("br-y"), 100);
    EXPECT_TRUE(sink.messages.empty()) << "a preview is no picture for the window";
    EXPECT_TRUE(boxes->shown.empty());
}

TEST_F(ScanDialog, FinishedScanIsPostedAndHandedOverOnce)
{
    Open();
    dialog->ScanBtn->click();
    EXPECT_FALSE(dialog->ScanBtn->isEnabled()) << "one scan at a time";
    WaitForScan();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].first, WM_USER + 1);
    TDibRecord scanned;
    GetScanedDib(&scanned, sink.messages[0].second);
    ASSERT_TRUE(scanned.Bits);
    EXPECT_EQ(DibWidth(scanned), 157);
    deldib(scanned);
    GetScanedDib(&scanned, sink.messages[0].second);
    EXPECT_EQ(scanned.Bits, nullptr) << "a picture is handed over once";
}

TEST_F(ScanDialog, CancelButtonStopsASlowScan)
{
    Set({"mode=Color", "resolution=300", "read-delay=yes", "read-delay-duration=200000"});
    Open();
    dialog->ScanBtn->click();
    QElapsedTimer timer;
    timer.start();
    while (dialog->ProgressBar->value() <= 0 && timer.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_GT(dialog->ProgressBar->value(), 0) << "the bar moves while the scan runs";
    timer.restart();
    dialog->CancelBtn->click();
    WaitForScan();
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_NE(dialog->result(), QDialog::Accepted) << "the dialog stays for another try";
    EXPECT_TRUE(dialog->ScanBtn->isEnabled());
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(boxes->shown.empty()) << "a cancel is no error";
}

TEST_F(ScanDialog, FailedScanSaysWhatToDoAndChangesNothing)
{
    // The test scanner's feeder is empty after ten pages.
    Set({"source=Automatic Document Feeder"});
    for (int page = 0; page < 10; ++page)
        ASSERT_TRUE(Scan().picture.Bits);
    Open().StartScan();
    WaitForScan();
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_EQ(boxes->shown[0].text, ScanStatusMessage(SANE_STATUS_NO_DOCS));
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    // With the flatbed the next try works.
    Choose("source", "Flatbed");
    dialog->StartScan();
    WaitForScan();
    EXPECT_EQ(sink.messages.size(), 1u);
    DiscardScannedPictures();
}

TEST_F(ScanDialog, ClosingDuringAScanStopsIt)
{
    Set({"resolution=300", "read-delay=yes", "read-delay-duration=200000"});
    Open().StartScan();
    ASSERT_TRUE(dialog->Scanning());
    dialog->reject();
    EXPECT_FALSE(dialog->Scanning());
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(ScanDialog, DeviceListRemembersTheChoice)
{
    DialogAnswer answer([](QDialog& d) {
        auto& list = dynamic_cast<TScannerListDialog&>(d);
        EXPECT_EQ(list.DeviceList->topLevelItemCount(), 2);
        EXPECT_EQ(list.DeviceList->topLevelItem(1)->text(0), "Noname");
        EXPECT_EQ(list.DeviceList->topLevelItem(1)->text(1), "frontend-tester");
        EXPECT_EQ(list.DeviceList->topLevelItem(1)->text(2), "virtuelles Gerät");
        EXPECT_EQ(list.DeviceList->topLevelItem(1)->text(3), "test:1");
        list.DeviceList->setCurrentItem(list.DeviceList->topLevelItem(1));
        return int(QDialog::Accepted);
    });
    TWAIN_SelectScanner(nullptr);
    EXPECT_EQ(SelectedScanner(), "test:1");
    EXPECT_EQ(QSettings().value("quorscan/Device").toString(), "test:1");

    DialogAnswer again([](QDialog& d) {
        auto& list = dynamic_cast<TScannerListDialog&>(d);
        EXPECT_EQ(list.Chosen()->name, "test:1") << "the remembered device is selected";
        return int(QDialog::Rejected);
    });
    TWAIN_SelectScanner(nullptr);
    EXPECT_EQ(SelectedScanner(), "test:1") << "cancel keeps the choice";
}

TEST_F(ScanDialog, ASlowSearchLeavesTheWindowAliveAndCancelReturnsAtOnce)
{
    for (const bool cancel : {true, false}) {
        // A search that lasts until released, as on a network whose scanners do not answer.
        std::atomic<bool> running = false, released = false;
        const ScanDeviceSearch before = SetScanDeviceSearch([&](std::string&) {
            running = true;
            for (int ms = 0; !released && ms < 20000; ++ms) // a broken wait fails, not hangs
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            running = false;
            return std::vector<ScanDeviceInfo>{{"net:1", "Acme", "F 2000", "flatbed scanner"}};
        });
        QSettings().setValue("quorscan/Device", "test:1");
        // The user: after a few ticks of the event loop with the waiting dialog
        // up, cancels or lets the search end.
        int ticks = 0;
        bool acted = false;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            auto* wait = qobject_cast<TSaneWaitDialog*>(QApplication::activeModalWidget());
            if (!wait || !running || ++ticks < 3 || acted)
                return;
            acted = true;
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
            if (cancel)
                wait->CancelBtn->click();
            else
                released = true;
        });
        user.start(10);
        DialogAnswer list([](QDialog& d) {
            auto& found = dynamic_cast<TScannerListDialog&>(d);
            EXPECT_EQ(found.DeviceList->topLevelItem(0)->text(2), "Flachbettscanner");
            return int(QDialog::Accepted);
        });
        TWAIN_SelectScanner(nullptr);
        EXPECT_TRUE(acted) << "the event loop ran while the search went on";
        EXPECT_EQ(bool(running), cancel) << "a cancel returns while the search still runs";
        EXPECT_EQ(list.shown, cancel ? 0 : 1);
        EXPECT_EQ(SelectedScanner(), cancel ? "test:1" : "net:1");
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        released = true;
        WaitForSane(nullptr, {}, [] {}); // queued after the search: it has ended
        SetScanDeviceSearch(before);
    }
}

} // namespace
