#include "quorscan/ScanFileName.h"

#include <cstdio>
#include <filesystem>

std::string ScanFileName(const std::tm& time, int copy)
{
    char name[64];
    std::snprintf(name, sizeof name, "Scan %04d-%02d-%02d %02d-%02d", time.tm_year + 1900,
                  time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min);
    std::string s = name;
    if (copy > 1)
        s += " (" + std::to_string(copy) + ")";
    return s + ".png";
}

std::string FreeScanPath(const std::string& folder, std::time_t scanned)
{
    std::tm local{};
    localtime_r(&scanned, &local);
    const std::filesystem::path dir(folder);
    std::error_code ec;
    for (int copy = 1;; ++copy) {
        const std::filesystem::path path = dir / ScanFileName(local, copy);
        // A folder that cannot be read offers the first name; the save dialog
        // still asks before replacing a file.
        if (!std::filesystem::exists(path, ec) || ec || copy == 1000)
            return path.string();
    }
}
