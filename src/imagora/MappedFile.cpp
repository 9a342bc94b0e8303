#include "imagora/MappedFile.h"

#include <atomic>
#include <mutex>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// SIGBUS arrives on the thread that touched the page, which may be any of
// the threads a decoder hands rows to: the handler looks through the live
// mappings of all threads. It only reads the list; changes to it take the
// lock and publish a complete entry.
std::atomic<MappedFile*> liveMappings{nullptr};
std::mutex mappingsChange;
struct sigaction previousBusAction {};

} // namespace

void MappedFile::OnBusError(int signal, siginfo_t* info, void* context)
{
    auto* at = static_cast<std::uint8_t*>(info->si_addr);
    for (MappedFile* m = liveMappings.load(); m; m = m->next_) {
        if (at < m->data_ || at >= m->data_ + m->mapped_)
            continue;
        // Zero pages in place of the vanished part of the file, from the
        // page that faulted to the mapping's end; the access then repeats.
        const auto pageMask = std::uintptr_t(::sysconf(_SC_PAGESIZE)) - 1;
        auto* page = reinterpret_cast<std::uint8_t*>(std::uintptr_t(at) & ~pageMask);
        ::mmap(page, std::size_t(m->data_ + m->mapped_ - page), PROT_READ,
               MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        m->shrank_ = 1;
        return;
    }
    // Not one of ours: what would have happened without us.
    if (previousBusAction.sa_flags & SA_SIGINFO) {
        previousBusAction.sa_sigaction(signal, info, context);
    } else if (previousBusAction.sa_handler != SIG_DFL && previousBusAction.sa_handler != SIG_IGN) {
        previousBusAction.sa_handler(signal);
    } else {
        std::signal(signal, SIG_DFL); // the access repeats and ends the program
    }
}

MappedFile::MappedFile(const char* path, std::int64_t maxBytes)
{
    static const bool handlerInstalled = [] {
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        return ::sigaction(SIGBUS, &action, &previousBusAction) == 0;
    }();
    // Without O_NONBLOCK a pipe would wait for a writer for good; only a
    // regular file is mapped anyway.
    const int fd = path ? ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK) : -1;
    if (fd < 0)
        return;
    struct stat st {};
    if (handlerInstalled && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
        st.st_size <= maxBytes) {
        const auto pageMask = std::size_t(::sysconf(_SC_PAGESIZE)) - 1;
        const std::size_t size = std::size_t(st.st_size);
        // Decoders read almost every byte: fault the pages in at once.
        void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (p != MAP_FAILED) {
            data_ = static_cast<std::uint8_t*>(p);
            size_ = size;
            mapped_ = (size + pageMask) & ~pageMask;
            std::lock_guard lock(mappingsChange);
            next_ = liveMappings.load();
            liveMappings.store(this);
        }
    }
    ::close(fd);
}

MappedFile::~MappedFile()
{
    if (!data_)
        return;
    {
        std::lock_guard lock(mappingsChange);
        if (liveMappings.load() == this) {
            liveMappings.store(next_);
        } else {
            for (MappedFile* m = liveMappings.load(); m; m = m->next_) {
                if (m->next_ == this) {
                    m->next_ = next_;
                    break;
                }
            }
        }
    }
    ::munmap(data_, mapped_);
}
