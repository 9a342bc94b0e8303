#include "io/PrefFolders.h"

#include <cstdio>
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

bool WritePrefFolders(const std::string& path, const std::vector<std::string>& entries)
{
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        for (const std::string& entry : entries)
            out << entry << "\r\n";
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
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
