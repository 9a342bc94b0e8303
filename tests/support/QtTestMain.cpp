// Test entry for window tests: one application object for all of them. They
// run offscreen unless QT_QPA_PLATFORM asks for xcb: then they need an X
// server, which is found or started here; without one they run offscreen
// and the tests that look at the screen skip, saying why.
#include "XServer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>

int main(int argc, char** argv)
{
    // Settings and data go to a folder of this run, never the user's own.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
    XServer x;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("xcb")) {
        std::string why;
        if (!x.Ensure(&why))
            qputenv(kNoScreenReasonVariable, QByteArray::fromStdString(why));
        qputenv("QT_QPA_PLATFORM", "xcb;offscreen"); // offscreen if xcb cannot start
    } else if (platform.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvora"));
    QApplication::setOrganizationName(QStringLiteral("Norvane"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
