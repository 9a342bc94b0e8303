#include "app/WindowPlacement.h"

#include "app/WindowSizeRule.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace {

class WindowSettings : public QSettings {
public:
    WindowSettings() : QSettings(QStringLiteral("Norvane"), QStringLiteral("Kelvora"))
    {
        beginGroup(QStringLiteral("TMainForm"));
    }
};

const char* const kRectKeys[] = {"Left", "Top", "Width", "Height"};

std::optional<WindowRect> StoredRect(const QSettings& settings)
{
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = settings.value(QLatin1String(kRectKeys[i])).toInt(&ok);
        if (!ok) // never stored, or edited into something else
            return std::nullopt;
    }
    return WindowRect{values[0], values[1], values[2], values[3]};
}

WindowRect ToWindowRect(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

} // namespace

void ShowMainWindow(QWidget& window)
{
    std::vector<WindowRect> areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        areas.push_back(ToWindowRect(primary->availableGeometry()));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            areas.push_back(ToWindowRect(screen->availableGeometry()));
    const WindowSettings settings;
    const WindowRect r = ChooseWindowRect(areas, StoredRect(settings));
    window.setGeometry(r.left, r.top, r.width, r.height);
    if (settings.value(QStringLiteral("Maximized")).toBool())
        window.showMaximized();
    else
        window.show();
}

void StoreMainWindowPlacement(const QWidget& window)
{
    const QRect r = window.normalGeometry();
    const int values[4] = {r.x(), r.y(), r.width(), r.height()};
    WindowSettings settings;
    for (int i = 0; i < 4; ++i)
        settings.setValue(QLatin1String(kRectKeys[i]), values[i]);
    settings.setValue(QStringLiteral("Maximized"), window.isMaximized());
}
