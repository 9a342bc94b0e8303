// The list of scanners to choose from: vendor, model, type and SANE's device
// name, with a new search for scanners plugged in while the dialog is open.
// Searches run on SANE's thread, since a network scanner takes seconds to
// answer.
#pragma once

#include "quorscan/ScanDevice.h"

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

struct FoundScanners {
    std::vector<ScanDeviceInfo> devices;
    std::string error; // German, when SANE itself failed
};

// Searches while the window paints on; nothing when the user cancelled.
std::optional<FoundScanners> SearchForScanners(QWidget* parent);

class TScannerListDialog final : public QDialog {
    Q_OBJECT
public:
    // current: the device chosen before, selected when it is in the list;
    // found: what the search before the dialog found.
    TScannerListDialog(const std::string& current, FoundScanners found, QWidget* parent = nullptr);

    // Searches anew; a cancelled search leaves the list as it was.
    void Search();
    // The device selected; nullptr when none is.
    const ScanDeviceInfo* Chosen() const;

    QLabel* HintLabel = nullptr;
    QTreeWidget* DeviceList = nullptr;
    QPushButton* SearchBtn = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    void ShowFound(FoundScanners found);

    std::string current_;
    std::vector<ScanDeviceInfo> devices_;
};
