// The scan dialog: the scanner's own options, a preview of the whole bed
// with the scan area as a rubber band, and Scan / Cancel. Scans run on a
// thread of their own, since SANE blocks while the scanner works; a finished
// scan is kept under a number and posted to the receiver as WM_USER + 1.
// The options are remembered per device from one opening to the next, the
// last preview for as long as the program runs.
#pragma once

#include "quorscan/ScanAcquire.h"
#include "quorscan/ScanDevice.h"
#include "quorscan/ScanOptions.h"

#include <QDialog>
#include <QTimer>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class QProgressBar;
class QPushButton;
class QScrollArea;
class TScanPreview;

class TScanDialog final : public QDialog {
    Q_OBJECT
public:
    // device stays open while the dialog lives; receiver gets the message.
    TScanDialog(ScanDevice& device, QObject* receiver, const QString& title,
                QWidget* parent = nullptr);
    ~TScanDialog() override;

    void StartPreview();
    void StartScan();
    bool Scanning() const { return worker_.joinable(); }
    // The control of an option; nullptr while the option is not shown.
    QWidget* OptionControl(const QString& name) const;
    // The user's choice of scan area in fractions of the bed, as the rubber
    // band reports it.
    void ChooseArea(const QRectF& area);

    QScrollArea* OptionsBox = nullptr;
    TScanPreview* Preview = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPushButton* PreviewBtn = nullptr;
    QPushButton* ScanBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

public slots:
    void done(int result) override; // stops a running scan first

private:
    void RestoreSettings();
    void StoreSettings();
    void ReloadOptions();
    void SetOption(const ScanOption& option, const ScanValue& value);
    bool SetByName(const char* name, const ScanValue& value);
    void ShowArea();
    void Start(bool preview);
    void Poll();
    void Finished();
    void StopWorker();
    void RestoreAfterPreview();
    void SetBusy(bool busy);

    ScanDevice& device_;
    QObject* receiver_;
    std::vector<ScanOption> options_;
    QWidget* panel_ = nullptr;

    std::thread worker_;
    std::atomic<bool> done_{false};
    std::atomic<int> percent_{0};
    ScanCancel cancel_;
    ScanResult result_; // written by the worker until done_
    bool preview_ = false;
    std::vector<std::pair<std::string, ScanValue>> beforePreview_;
    QTimer poll_;
};
