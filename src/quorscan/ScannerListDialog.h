// The list of scanners to choose from: vendor, model, type and SANE's device
// name, with a new search for scanners plugged in while the dialog is open.
#pragma once

#include "quorscan/ScanDevice.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

class TScannerListDialog final : public QDialog {
    Q_OBJECT
public:
    // current: the device chosen before, selected when it is in the list.
    explicit TScannerListDialog(const std::string& current, QWidget* parent = nullptr);

    // Lists the devices SANE finds now.
    void Search();
    // The device selected; nullptr when none is.
    const ScanDeviceInfo* Chosen() const;

    QLabel* HintLabel = nullptr;
    QTreeWidget* DeviceList = nullptr;
    QPushButton* SearchBtn = nullptr;
    QPushButton* OkBtn = nullptr;

private:
    std::string current_;
    std::vector<ScanDeviceInfo> devices_;
};
