#include "quorscan/ScannedPictures.h"

#include "imagora/Imagora.h"

#include <map>
#include <mutex>

namespace {
std::mutex tableMutex;
std::map<std::intptr_t, TDibRecord> table;
std::intptr_t lastId = 0;
} // namespace

std::intptr_t KeepScannedPicture(const TDibRecord& picture)
{
    const std::lock_guard lock(tableMutex);
    table[++lastId] = picture;
    return lastId;
}

TDibRecord TakeScannedPicture(std::intptr_t id)
{
    const std::lock_guard lock(tableMutex);
    const auto it = table.find(id);
    if (it == table.end())
        return TDibRecord{};
    const TDibRecord picture = it->second;
    table.erase(it);
    return picture;
}

void DiscardScannedPictures()
{
    const std::lock_guard lock(tableMutex);
    for (auto& [id, picture] : table)
        deldib(picture);
    table.clear();
}
