// Replacing a file so that it is at every moment either the old file or the
// complete new one: a save that fails half-way never costs the user a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The file an encoder writes into. Bytes go out through one small reused
// buffer, large blocks straight from the caller's memory; writing continues
// at the position last sought to. The first system error sticks: later calls
// do nothing and fail.
class OutputFile {
public:
    // fd stays the caller's. A file that cannot seek (a device, a pipe) is
    // written strictly in order.
    OutputFile(int fd, bool seekable);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool Write(const void* data, std::size_t size);
    // Room for the next size bytes at the position, for the caller to fill
    // right away (before any other call); nullptr once the file has failed.
    std::uint8_t* Append(std::size_t size);

    // Writes rows x rowBytes bytes at the position, made by fill(first, last,
    // out): rows first .. last - 1 into out, (last - first) x rowBytes bytes.
    // Into a file that can seek, bands of rows are made on all cores and each
    // goes to the file as soon as it is done, so the disk has the first bands
    // while later ones are still being made; fill must be safe for that.
    using RowFill = std::function<void(int first, int last, std::uint8_t* out)>;
    bool WriteRows(int rows, std::size_t rowBytes, const RowFill& fill);

    bool Seek(std::uint64_t offset);
    std::uint64_t Position() const { return position_; }
    std::uint64_t Size() const;
    // Reads back what was written before; fewer bytes past the end.
    std::size_t ReadAt(std::uint64_t offset, void* data, std::size_t size);

    // Hands everything buffered to the system.
    bool Flush();
    // The system error that stopped the writing, 0 while none did.
    int Error() const { return error_; }

private:
    bool Put(const std::uint8_t* data, std::size_t size, std::uint64_t at);
    // Writes at a position and starts the disk on it; the system error or 0.
    // Safe on several threads at once.
    int PutAt(const std::uint8_t* data, std::size_t size, std::uint64_t at) const;

    int fd_;
    bool seekable_;
    int error_ = 0;
    std::size_t capacity_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t buffered_ = 0;
    std::uint64_t bufferStart_ = 0; // file position of buffer_[0]
    std::uint64_t position_ = 0;
    std::uint64_t end_ = 0;         // what the file holds, flushed or not
    std::uint64_t writtenBack_ = 0; // up to here the disk has been asked to write
};

// Writes into a temporary file beside path through write(), flushes it to
// the disk and renames it over path. An existing file keeps its permissions;
// a symbolic link stays and the file it points to is replaced; a target that
// is no regular file (a device, a pipe) is written into directly. On failure
// the temporary is removed, path is untouched and reason holds a German
// explanation (write()'s own, or the system's when a write failed).
using FileContent = std::function<bool(OutputFile& out, std::string& reason)>;
bool ReplaceFileAtomically(const std::string& path, const FileContent& write, std::string& reason);

// Removes the temporary files that the process writer, stopped while it
// replaced path, left beside it.
void RemoveTemporaries(const std::string& path, long writer);

// A German explanation of a system error number, for messages to the user.
std::string SystemErrorText(int error);
