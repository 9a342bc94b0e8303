// Program entry: the application, its main window, and a file to open when
// the desktop starts the program with one.
#include "app/MainUnit.h"

#include "display/StretchDrawDib.h"
#include "toolkit/QtMessageBox.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvora"));
    QApplication::setOrganizationName(QStringLiteral("Norvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/kelvora.svg")));
    // Qt's own dialogs (printer set-up, file dialogs, the colour dialog) speak
    // German too.
    QTranslator qtGerman;
    if (qtGerman.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtGerman);
    InstallQtMessageBoxes();
    SetScreenBitsPerPixelProbe([] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->depth() : 32;
    });

    TMainForm MainForm(QCoreApplication::applicationFilePath().toStdString());
    MainForm.show();
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1)
        MainForm.OpenFileNow(
            QDir::current().absoluteFilePath(arguments[1]).toLocal8Bit().toStdString());
    return application.exec();
}
