// A picture file's bytes, mapped read-only for the decoders instead of being
// copied into memory.
#pragma once

#include <csignal>
#include <cstddef>
#include <cstdint>

class MappedFile {
public:
    // Maps a regular, non-empty file of at most maxBytes; otherwise (and when
    // the file cannot be opened) the object stays empty.
    MappedFile(const char* path, std::int64_t maxBytes);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }

    // Whether someone cut the file short while it was mapped. Touching the
    // lost part would raise SIGBUS; it reads as zeros instead, and whatever
    // was decoded from it is not the file's picture.
    bool Shrank() const { return shrank_ != 0; }

private:
    static void OnBusError(int signal, siginfo_t* info, void* context);

    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t mapped_ = 0; // whole pages
    volatile std::sig_atomic_t shrank_ = 0;
    MappedFile* next_ = nullptr; // the other live mappings
};
