#include "toolkit/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <utility>

namespace {
std::function<void(const std::string&)>& Handler()
{
    static std::function<void(const std::string&)> handler;
    return handler;
}
} // namespace

void ShellOpen(const std::string& target)
{
    if (Handler()) {
        Handler()(target);
        return;
    }
    const QString text = QString::fromStdString(target);
    const QUrl url = QFileInfo::exists(text) ? QUrl::fromLocalFile(text) : QUrl(text);
    QDesktopServices::openUrl(url);
}

std::function<void(const std::string&)>
SetShellOpenHandler(std::function<void(const std::string&)> handler)
{
    return std::exchange(Handler(), std::move(handler));
}
