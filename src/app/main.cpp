// Program entry: the application, its main window, and a file to open when
// the desktop starts the program with one.
#include "app/MainUnit.h"

#include "app/WindowPlacement.h"
#include "display/StretchDrawDib.h"
#include "toolkit/GermanInterface.h"
#include "toolkit/QtMessageBox.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvora"));
    QApplication::setOrganizationName(QStringLiteral("Norvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/kelvora.svg")));
    InstallGermanInterface(application);
    InstallQtMessageBoxes();
    SetScreenBitsPerPixelProbe([] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->depth() : 32;
    });

    const QStringList arguments = QCoreApplication::arguments();
    const std::string startFile =
        arguments.size() > 1
            ? QDir::current().absoluteFilePath(arguments[1]).toLocal8Bit().toStdString()
            : std::string();
    TMainForm MainForm(QCoreApplication::applicationFilePath().toStdString(), startFile);
    ShowMainWindow(MainForm);
    if (!startFile.empty())
        MainForm.OpenFileNow(startFile);
    const int result = application.exec();
    StoreMainWindowPlacement(MainForm);
    return result;
}
