// A main window in a temporary program folder, with message boxes and the
// desktop's "open" intercepted.
#pragma once

#include "TestSupport.h"

#include "app/MainUnit.h"

#include <QByteArray>

#include <memory>
#include <string>
#include <vector>

class MainWindowTest : public LeakCheckedTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Shows the window and lets it paint.
    void ShowWindow();
    // The picture of the state before the current one, as the history keeps it.
    const TDibRecord& Before() const;

    std::string programDir;
    std::unique_ptr<MessageBoxRecorder> boxes;
    std::vector<std::string> opened; // what the desktop was asked to open
    std::unique_ptr<TMainForm> form;

private:
    QByteArray savedDataHome_;
};
