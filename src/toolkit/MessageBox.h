// Message boxes. Operations call MessageBox without knowing who answers:
// the window installs a handler that shows a dialog, the command line one
// that prints, and tests one that records and answers.
#pragma once

#include <functional>
#include <string>

// Buttons and icons, combinable as in the platform's message box flags.
constexpr unsigned MB_OK = 0x0000;
constexpr unsigned MB_OKCANCEL = 0x0001;
constexpr unsigned MB_ICONERROR = 0x0010;
constexpr unsigned MB_ICONQUESTION = 0x0020;
constexpr unsigned MB_ICONWARNING = 0x0030;
constexpr unsigned MB_ICONINFORMATION = 0x0040;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

struct MessageBoxRequest {
    std::string text;    // UTF-8
    std::string caption; // empty: the application's title
    unsigned flags = MB_OK;
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Shows the message and returns the button chosen (IDOK or IDCANCEL).
int MessageBox(const std::string& text, const std::string& caption = {}, unsigned flags = MB_OK);

// Replaces the handler and returns the previous one. Without a handler a
// message goes to standard error and is answered with OK.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
