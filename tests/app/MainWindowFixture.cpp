#include "MainWindowFixture.h"

#include "toolkit/Shell.h"

#include <QApplication>

#include <filesystem>

void MainWindowTest::SetUp()
{
    LeakCheckedTest::SetUp();
    programDir = MakeTempDir() + "/";
    // Each test a new user: favourites one test keeps must not reach the next.
    savedDataHome_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(programDir + "data"));
    boxes = std::make_unique<MessageBoxRecorder>(IDOK);
    SetShellOpenHandler([this](const std::string& target) { opened.push_back(target); });
    form = std::make_unique<TMainForm>(programDir + "kelvora");
}

void MainWindowTest::TearDown()
{
    form.reset();
    SetShellOpenHandler(nullptr);
    boxes.reset();
    qputenv("XDG_DATA_HOME", savedDataHome_);
    std::filesystem::remove_all(programDir);
    LeakCheckedTest::TearDown();
}

const TDibRecord& MainWindowTest::Before() const
{
    return form->Steps().At(form->Steps().Current() - 1).picture;
}

void MainWindowTest::ShowWindow()
{
    form->show();
    QApplication::processEvents();
}
