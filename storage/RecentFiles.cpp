#include "RecentFiles.h"

#include <algorithm>
#include <array>

#include "RecordFormat.h"

namespace {

const std::string keyPrefix = "recentFile";

std::string keyOf(std::size_t position) {
    return keyPrefix + std::to_string(position + 1);
}

} // namespace

void RecentFiles::add(const std::string& path) {
    remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > capacity)
        paths_.resize(capacity);
}

void RecentFiles::remove(const std::string& path) {
    std::erase_if(paths_, [&](const std::string& held) { return compareNoCase(held, path) == 0; });
}

void RecentFiles::appendEntriesTo(RecordList& entries) const {
    for (std::size_t position = 0; position < paths_.size(); ++position)
        entries.append(Record(keyOf(position), paths_[position]));
}

RecentFiles RecentFiles::fromEntries(const RecordList& entries) {
    std::array<std::string, capacity> slots;
    for (const Record& entry : entries)
        for (std::size_t position = 0; position < capacity; ++position)
            if (entry.name() == keyOf(position))
                slots[position] = entry.value();
    // Added oldest first, so that the first key ends on top and a path that
    // comes again keeps its more recent place.
    RecentFiles list;
    for (auto slot = slots.rbegin(); slot != slots.rend(); ++slot)
        if (!slot->empty())
            list.add(*slot);
    return list;
}
