// OpenDib under libFuzzer: the input as a file, found by its signature and
// read through the file mapping, as the program opens files.
#include "FuzzChecks.h"

#include <cstdio>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

namespace {

int fileDescriptor = -1;
std::string filePath;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseFuzzAllocationLimit();
    fileDescriptor = memfd_create("kelvora-fuzz", MFD_CLOEXEC);
    if (fileDescriptor < 0)
        std::abort();
    filePath = "/proc/self/fd/" + std::to_string(fileDescriptor);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (ftruncate(fileDescriptor, 0) != 0 || pwrite(fileDescriptor, data, size, 0) != ssize_t(size))
        std::abort();
    TDibRecord dib;
    const std::size_t heap = StartHeapWatch();
    OpenDib(&dib, filePath.c_str(), 0, nullptr);
    CheckAndRelease(dib, dib.Bits != nullptr, heap);
    return 0;
}
