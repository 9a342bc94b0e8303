#include "XServer.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Whether a local display (":N" or ":N.S") has a server listening; other
// forms are taken on trust.
bool Answers(const char* display)
{
    if (!display || !*display)
        return false;
    if (display[0] != ':')
        return true;
    const std::string number(display + 1, std::strcspn(display + 1, "."));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = "/tmp/.X11-unix/X" + number;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return ok;
}

// The display number Xvfb writes to the pipe once it is ready, or "".
std::string ReadDisplayNumber(int fd)
{
    std::string number;
    pollfd p{fd, POLLIN, 0};
    while (::poll(&p, 1, 10000) > 0) {
        char c = 0;
        if (::read(fd, &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    return number;
}

} // namespace

bool XServer::Ensure(std::string* why)
{
    if (Answers(std::getenv("DISPLAY")))
        return true;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        *why = std::strerror(errno);
        return false;
    }
    const std::string writeEnd = std::to_string(pipeFds[1]);
    const char* argv[] = {"Xvfb",      "-displayfd", writeEnd.c_str(),
                          "-screen",   "0",          "2560x2048x24",
                          "-nolisten", "tcp",        nullptr};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addclose(&files, pipeFds[0]);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    const int spawned =
        posix_spawnp(&xvfb_, "Xvfb", &files, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&files);
    ::close(pipeFds[1]);
    const std::string number = spawned == 0 ? ReadDisplayNumber(pipeFds[0]) : std::string();
    ::close(pipeFds[0]);
    if (number.empty()) {
        *why = spawned == 0 ? "Xvfb started but named no display"
                            : std::string("Xvfb could not start: ") + std::strerror(spawned);
        if (spawned != 0)
            xvfb_ = -1;
        return false;
    }
    ::setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}

XServer::~XServer()
{
    if (xvfb_ > 0) {
        ::kill(xvfb_, SIGTERM);
        ::waitpid(xvfb_, nullptr, 0);
    }
}
