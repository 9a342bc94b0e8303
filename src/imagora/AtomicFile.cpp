#include "imagora/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A new file beside the target under a name nobody else uses. It is created
// with mode 0666 so that the user's umask applies as to any new file.
int CreateTemporary(const std::filesystem::path& folder, const std::string& name, std::string& path)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = (folder / ("." + name + "." + std::to_string(::getpid()) + "-" +
                          std::to_string(++counter) + ".tmp"))
                   .string();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// A file that is replaced keeps its permissions.
bool TakeOverMode(int fd, const std::string& target)
{
    struct stat st {};
    return ::stat(target.c_str(), &st) != 0 || ::fchmod(fd, st.st_mode & 07777) == 0;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// Makes the rename itself durable; failure here does not undo the save.
void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::string SystemErrorText(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return "Keine Berechtigung zum Schreiben.";
    case ENOENT:
    case ENOTDIR:
        return "Der Ordner existiert nicht.";
    case ENOSPC:
    case EDQUOT:
        return "Auf dem Datenträger ist nicht genug Platz.";
    case EFBIG:
        return "Die Datei wird zu groß.";
    case EROFS:
        return "Der Datenträger ist schreibgeschützt.";
    case EISDIR:
        return "Unter diesem Namen gibt es bereits einen Ordner.";
    case ENAMETOOLONG:
        return "Der Dateiname ist zu lang.";
    case EIO:
        return "Ein- oder Ausgabefehler des Datenträgers.";
    default:
        return "Systemfehler " + std::to_string(error) + " (" + std::strerror(error) + ").";
    }
}

bool ReplaceFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size,
                           std::string& reason)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec)
            target = resolved;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temporary;
    const int fd = CreateTemporary(folder, target.filename().string(), temporary);
    if (fd < 0) {
        reason = SystemErrorText(errno);
        return false;
    }
    bool ok = TakeOverMode(fd, target.string()) && WriteAll(fd, data, size) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        reason = SystemErrorText(error);
        return false;
    }
    SyncFolder(folder.string());
    return true;
}
