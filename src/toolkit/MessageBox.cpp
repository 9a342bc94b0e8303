#include "toolkit/MessageBox.h"

#include <cstdio>
#include <utility>

namespace {
MessageBoxHandler& Handler()
{
    static MessageBoxHandler handler;
    return handler;
}
} // namespace

int MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    if (Handler())
        return Handler()(MessageBoxRequest{text, caption, flags});
    std::fprintf(stderr, "%s\n", text.c_str());
    return IDOK;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}
