#include "SaneTestBackend.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <dlfcn.h>
#include <pthread.h>

// SANE's reader threads ask for asynchronous cancellation, and sane_cancel
// then strikes wherever the reader is: inside malloc it leaves the heap locked
// and the test hangs for good (the failing-read tests cancel a reader that has
// only just started). The tests' processes keep cancellation deferred, so a
// reader stops at its next write or sleep; the link exports this definition.
extern "C" int pthread_setcanceltype(int, int* old)
{
    if (old)
        *old = PTHREAD_CANCEL_DEFERRED;
    return 0;
}

namespace {
std::string folder;
void RemoveFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}
} // namespace

const std::string& UseSaneTestBackend()
{
    if (!folder.empty())
        return folder;
    std::string pattern = (std::filesystem::temp_directory_path() / "kelvora-sane-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    folder = pattern;
    std::ofstream(folder + "/dll.conf") << "test\n";
    std::ofstream(folder + "/test.conf") << "number_of_devices 2\n"
                                            "mode Gray\n"
                                            "depth 8\n"
                                            "resolution 50\n"
                                            "test-picture \"Solid black\"\n"
                                            "geometry_min 0.0\n"
                                            "geometry_max 300.0\n"
                                            "geometry_quant 1.0\n"
                                            "tl_x 0.0\n"
                                            "tl_y 0.0\n"
                                            "br_x 80.0\n"
                                            "br_y 100.0\n";
    setenv("SANE_CONFIG_DIR", folder.c_str(), 1);
    // The scanning child processes (the command line under the sanitizers)
    // meet the backend's own losses after SANE has unloaded it, where only
    // the library that called it still names them, and only the slow
    // unwinder reaches past the unloaded frames to that library.
    std::ofstream(folder + "/lsan.supp") << "leak:libsane.so\n";
    const std::string lsan = "suppressions=" + folder +
                             "/lsan.supp:fast_unwind_on_malloc=0:print_suppressions=0";
    setenv("LSAN_OPTIONS", lsan.c_str(), 1);
    // The test backend stays loaded across sane_exit, so that the leak
    // checker can name its allocations (LeakSuppressions.cpp).
    dlopen(SANE_TEST_BACKEND, RTLD_NOW | RTLD_NODELETE);
    std::atexit(RemoveFolder);
    return folder;
}
