// An X server for the tests that look at the screen: the one DISPLAY names
// when it answers, else a private Xvfb on a free display, stopped when the
// object goes.
#pragma once

#include <string>

#include <sys/types.h>

class XServer {
public:
    XServer() = default;
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    ~XServer();

    // Makes DISPLAY name a server that answers; false, with the reason in
    // *why, when there is none and Xvfb cannot start.
    bool Ensure(std::string* why);

private:
    pid_t xvfb_ = -1;
};

// Where test programs that found no X server say why; empty when they have one.
constexpr const char* kNoScreenReasonVariable = "KELVORA_NO_SCREEN_REASON";
