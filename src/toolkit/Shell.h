// Opening a document or web address with the desktop's default application.
#pragma once

#include <functional>
#include <string>

// Asks the desktop to open target (a URL or a file path); the result is not
// reported, as the caller has nothing to do about it.
void ShellOpen(const std::string& target);

// Tests replace the desktop; returns the previous handler.
std::function<void(const std::string&)>
SetShellOpenHandler(std::function<void(const std::string&)> handler);
