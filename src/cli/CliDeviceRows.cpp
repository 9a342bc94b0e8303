// The device module's one export: its table. Everything else in the module,
// its own copies of the image library included, stays inside it.
#include "cli/CliDevices.h"

extern "C" __attribute__((visibility("default"))) const CliDeviceRows* KelvoraCliDeviceRows()
{
    static const CliDeviceRows rows{SetMessageBoxHandler, PrintPictureForCli, ScanPictureForCli,
                                    ListScannersToStream};
    return &rows;
}
