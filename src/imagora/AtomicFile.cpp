#include "imagora/AtomicFile.h"

#include "imagora/RowBands.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBufferBytes = std::size_t(1) << 20;
// Written data is handed to the disk in steps of this size while the rest is
// still being encoded, so the closing flush waits only for the last step.
constexpr std::uint64_t kWritebackStep = std::uint64_t(8) << 20;

// The start of the temporaries the process writer makes for the file name.
std::string TemporaryPrefix(const std::string& name, long writer)
{
    return "." + name + "." + std::to_string(writer) + "-";
}

// A new file beside the target under a name nobody else uses. It is created
// with mode 0666 so that the user's umask applies as to any new file.
int CreateTemporary(const std::filesystem::path& folder, const std::string& name, std::string& path)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = (folder / (TemporaryPrefix(name, ::getpid()) + std::to_string(++counter) + ".tmp"))
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

// Makes the rename itself durable; failure here does not undo the save.
void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Removes the temporary unless the save went through, whichever way the
// writing ends (an encoder may run out of memory and throw).
struct TemporaryFile {
    std::string path;
    bool kept = false;
    ~TemporaryFile()
    {
        if (!kept)
            ::unlink(path.c_str());
    }
};

// Why a file could not be created in folder: an existing folder that takes
// no new files (/proc) says ENOENT as a missing one does.
std::string CreateErrorText(int error, const std::filesystem::path& folder)
{
    std::error_code ec;
    if (error == ENOENT && std::filesystem::is_directory(folder, ec))
        return "In diesem Ordner lassen sich keine Dateien anlegen.";
    return SystemErrorText(error);
}

// The writing itself and what went wrong: the content's own reason, or the
// system's error.
bool WriteContent(OutputFile& out, const FileContent& write, std::string& reason)
{
    std::string own;
    if (write(out, own) && out.Flush())
        return true;
    reason = out.Error() ? SystemErrorText(out.Error()) : own;
    return false;
}

// Devices and pipes have no folder entry to swap: they get the bytes as they
// come (and a full device says so).
bool WriteInPlace(const std::string& target, const FileContent& write, std::string& reason)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = SystemErrorText(errno);
        return false;
    }
    OutputFile out(fd, false);
    bool ok = WriteContent(out, write, reason);
    if (::close(fd) != 0 && ok) {
        reason = SystemErrorText(errno);
        ok = false;
    }
    return ok;
}

} // namespace

OutputFile::OutputFile(int fd, bool seekable)
    : fd_(fd), seekable_(seekable), capacity_(kBufferBytes)
{
}

int OutputFile::PutAt(const std::uint8_t* data, std::size_t size, std::uint64_t at) const
{
    const std::uint64_t start = at;
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, data, size, off_t(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        data += n;
        at += std::uint64_t(n);
        size -= std::size_t(n);
    }
    ::sync_file_range(fd_, off_t(start), off_t(at - start), SYNC_FILE_RANGE_WRITE);
    return 0;
}

bool OutputFile::WriteRows(int rows, std::size_t rowBytes, const RowFill& fill)
{
    if (error_ || rows <= 0 || rowBytes == 0)
        return !error_;
    if (!seekable_) {
        // strictly in order, through the buffer
        const int band =
            int(std::clamp<std::size_t>(kBufferBytes / rowBytes, 1, std::size_t(rows)));
        for (int first = 0; first < rows; first += band) {
            const int last = std::min(rows, first + band);
            std::uint8_t* room = Append(std::size_t(last - first) * rowBytes);
            if (!room)
                return false;
            fill(first, last, room);
        }
        return true;
    }
    if (!Flush())
        return false;
    const std::uint64_t start = position_;
    std::atomic<int> failure{0};
    ForEachRowBand(rows, rowBytes, nullptr, [&](int first, int last) {
        if (failure)
            return;
        const std::size_t size = std::size_t(last - first) * rowBytes;
        const std::unique_ptr<std::uint8_t[]> band(new std::uint8_t[size]);
        fill(first, last, band.get());
        int expected = 0;
        if (const int e = PutAt(band.get(), size, start + std::uint64_t(first) * rowBytes))
            failure.compare_exchange_strong(expected, e);
    });
    error_ = failure;
    position_ = start + std::uint64_t(rows) * rowBytes;
    end_ = std::max(end_, position_);
    writtenBack_ = std::max(writtenBack_, position_);
    return !error_;
}

bool OutputFile::Put(const std::uint8_t* data, std::size_t size, std::uint64_t at)
{
    while (size > 0) {
        const ssize_t n =
            seekable_ ? ::pwrite(fd_, data, size, off_t(at)) : ::write(fd_, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;
            return false;
        }
        data += n;
        at += std::uint64_t(n);
        size -= std::size_t(n);
    }
    if (seekable_ && at >= writtenBack_ + kWritebackStep) {
        ::sync_file_range(fd_, off_t(writtenBack_), off_t(at - writtenBack_),
                          SYNC_FILE_RANGE_WRITE);
        writtenBack_ = at;
    }
    return true;
}

bool OutputFile::Flush()
{
    if (error_)
        return false;
    const std::size_t n = buffered_;
    buffered_ = 0;
    return n == 0 || Put(buffer_.get(), n, bufferStart_);
}

std::uint8_t* OutputFile::Append(std::size_t size)
{
    if (error_)
        return nullptr;
    const bool contiguous = position_ == bufferStart_ + buffered_;
    if (buffered_ > 0 && (!contiguous || buffered_ + size > capacity_) && !Flush())
        return nullptr;
    if (!buffer_ || size > capacity_) { // a row larger than the buffer widens it
        capacity_ = std::max(capacity_, size);
        buffer_.reset(new std::uint8_t[capacity_]);
    }
    if (buffered_ == 0)
        bufferStart_ = position_;
    std::uint8_t* room = buffer_.get() + buffered_;
    buffered_ += size;
    position_ += size;
    end_ = std::max(end_, position_);
    return room;
}

bool OutputFile::Write(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (size < kBufferBytes) {
        std::uint8_t* room = Append(size);
        if (room)
            std::memcpy(room, bytes, size);
        return room != nullptr;
    }
    // Large blocks (a bitmap's rows) go out from where they are.
    if (!Flush() || !Put(bytes, size, position_))
        return false;
    position_ += size;
    end_ = std::max(end_, position_);
    return true;
}

bool OutputFile::Seek(std::uint64_t offset)
{
    if (!seekable_ && offset != position_ && !error_)
        error_ = ESPIPE;
    if (error_)
        return false;
    position_ = offset;
    return true;
}

std::uint64_t OutputFile::Size() const
{
    return end_;
}

std::size_t OutputFile::ReadAt(std::uint64_t offset, void* data, std::size_t size)
{
    if (!seekable_ || !Flush())
        return 0;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd_, static_cast<std::uint8_t*>(data) + done, size - done,
                                  off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    return done;
}

void RemoveTemporaries(const std::string& path, long writer)
{
    namespace fs = std::filesystem;
    const fs::path target = path;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string prefix = TemporaryPrefix(target.filename().string(), writer);
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(prefix) && name.ends_with(".tmp"))
            fs::remove(entry.path(), ec);
    }
}

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

bool ReplaceFileAtomically(const std::string& path, const FileContent& write, std::string& reason)
{
    // Past a file size limit (ulimit -f) the kernel would end the program
    // with SIGXFSZ, the temporary left behind; ignored, the write fails with
    // EFBIG and is reported like any other.
    static const bool fileSizeSignalIgnored = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    (void)fileSizeSignalIgnored;

    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec)
            target = resolved;
    }
    const fs::file_status status = fs::status(target, ec);
    if (fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status))
        return WriteInPlace(target.string(), write, reason);

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    TemporaryFile temporary;
    const int fd = CreateTemporary(folder, target.filename().string(), temporary.path);
    if (fd < 0) {
        temporary.kept = true; // nothing was created
        reason = CreateErrorText(errno, folder);
        return false;
    }
    OutputFile out(fd, true);
    bool ok = TakeOverMode(fd, target.string());
    if (!ok)
        reason = SystemErrorText(errno);
    ok = ok && WriteContent(out, write, reason);
    if (ok && ::fsync(fd) != 0) {
        reason = SystemErrorText(errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        reason = SystemErrorText(errno);
        ok = false;
    }
    if (ok && ::rename(temporary.path.c_str(), target.c_str()) != 0) {
        reason = SystemErrorText(errno);
        ok = false;
    }
    if (!ok)
        return false;
    temporary.kept = true;
    SyncFolder(folder.string());
    return true;
}
