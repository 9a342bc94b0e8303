#include "io/PrefFolders.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

std::vector<std::string> ReadPrefFolders(const std::string& path)
{
    std::vector<std::string> entries;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return entries;
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        entries.push_back(line);
        start = end + 1;
    }
    return entries;
}

namespace {

namespace fs = std::filesystem;

// The file a path names at the end of its symbolic links (at most 40, as the
// system follows them); the path itself when it is no link.
std::string LinkTarget(const std::string& path)
{
    fs::path at = path;
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(at, ec); ++hops) {
        const fs::path next = fs::read_symlink(at, ec);
        if (ec)
            break;
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return at.string();
}

} // namespace

bool WritePrefFolders(const std::string& path, const std::vector<std::string>& entries)
{
    const std::string target = LinkTarget(path);
    const std::string temporary = target + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        for (const std::string& entry : entries)
            if (entry.find_first_of("\r\n") == std::string::npos)
                out << entry << "\r\n";
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

std::string TakeOverPrefFolders(const std::string& programFile, const std::string& dataFile)
{
    std::error_code ec;
    // An unreadable old list must not be taken over as an empty one.
    if (fs::exists(dataFile, ec) || !fs::is_regular_file(programFile, ec) ||
        ::access(programFile.c_str(), R_OK) != 0)
        return dataFile;
    return WritePrefFolders(dataFile, ReadPrefFolders(programFile)) ? dataFile : programFile;
}

void PutPrefFolderFirst(std::vector<std::string>& entries, const std::string& folder)
{
    for (std::size_t i = entries.size(); i-- > 0;) {
        if (entries[i] == folder) {
            entries.erase(entries.begin() + std::ptrdiff_t(i));
            break;
        }
    }
    entries.insert(entries.begin(), folder);
}

std::string StartFolder(const std::string& startFile, const std::vector<std::string>& favourites,
                        const std::string& pictures, const std::string& home)
{
    std::error_code ec;
    const auto isFolder = [&ec](const std::string& folder) {
        return !folder.empty() && fs::is_directory(folder, ec);
    };
    if (!startFile.empty()) {
        const std::string folder = fs::path(startFile).parent_path().string();
        if (isFolder(folder))
            return folder;
    }
    for (const std::string& favourite : favourites)
        if (isFolder(favourite))
            return favourite;
    return isFolder(pictures) ? pictures : home;
}
