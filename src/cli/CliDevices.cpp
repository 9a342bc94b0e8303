#include "cli/CliDevices.h"

#include "cli/CliOperations.h"
#include "cli/CliRun.h"

#include <filesystem>
#include <system_error>

#include <dlfcn.h>

namespace {

// The module beside the program (the build), or in lib/kelvora beside its bin.
void* OpenModule(std::string& error)
{
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::filesystem::path folder = program.parent_path();
    for (const std::filesystem::path& candidate :
         {folder / kCliDeviceModule, folder / ".." / "lib" / "kelvora" / kCliDeviceModule}) {
        // Qt keeps its application object to the end of the process: the
        // module stays too.
        if (void* module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE))
            return module;
        if (error.empty() || std::filesystem::exists(candidate, ec))
            error = dlerror();
    }
    return nullptr;
}

// The table, loaded once; null after a German message when the module is missing.
const CliDeviceRows* Rows()
{
    static const CliDeviceRows* rows = [] () -> const CliDeviceRows* {
        std::string error;
        void* module = OpenModule(error);
        auto* table = module ? reinterpret_cast<const CliDeviceRows* (*)()>(
                                   dlsym(module, kCliDeviceRowsSymbol))
                             : nullptr;
        if (!table) {
            MessageBox("Drucken und Scannen fehlen in dieser Installation (" +
                           std::string(kCliDeviceModule) + "): " + error,
                       {}, MB_OK | MB_ICONERROR);
            return nullptr;
        }
        const CliDeviceRows* loaded = table();
        // The module's messages reach whoever answers this program's.
        loaded->setMessageBoxHandler([](const MessageBoxRequest& r) {
            return MessageBox(r.text, r.caption, r.flags);
        });
        return loaded;
    }();
    return rows;
}

} // namespace

bool CliPrint(CliSession& session, CliPrintTo to, const std::string& target)
{
    const CliDeviceRows* rows = Rows();
    return rows && rows->print(session.image.WorkDib, session.printLayout, to, target);
}

bool ScanForCli(const CliScanRequest& request, TDibRecord& dib, ProgressSink& progress)
{
    const CliDeviceRows* rows = Rows();
    return rows && rows->scan(request, dib, progress);
}

int ListScannersForCli(std::FILE* out)
{
    const CliDeviceRows* rows = Rows();
    return rows ? rows->listScanners(out) : kCliFailed;
}
