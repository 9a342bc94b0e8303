// The scan dialog and the device list on the test scanner, driven as a user
// would drive them.
#include "ScanTestSupport.h"

#include "DialogAnswer.h"
#include "quorscan/Quorscan.h"
#include "quorscan/ScanDialog.h"
#include "quorscan/ScanPreview.h"
#include "quorscan/ScanStatus.h"
#include "quorscan/ScannedPictures.h"
#include "quorscan/ScannerListDialog.h"
#include "toolkit/WindowMessages.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QTreeWidget>

#include <cmath>

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
    EXPECT_EQ(groups, (QStringList{"Scan Mode", "Special Options", "Geometry"}));
    EXPECT_TRUE(dialog->OptionControl("resolution"));
    EXPECT_TRUE(dialog->OptionControl("depth"));
    EXPECT_FALSE(dialog->OptionControl("three-pass")) << "inactive in grey";
    EXPECT_FALSE(dialog->OptionControl("gamma-table")) << "an array";
    Choose("mode", "Color");
    EXPECT_TRUE(dialog->OptionControl("three-pass")) << "the controls follow the scanner";
    EXPECT_EQ(Value("depth"), 8);
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

} // namespace
