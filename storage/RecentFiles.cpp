#include "RecentFiles.h"

#include <algorithm>
#include <array>

#include "RecordFormat.h"

namespace {

const std::string keyPrefix = "recentFile";

std::string keyOf(std::size_t position) {
    return keyPrefix + std::to_string(position + 1);
}

// Windows takes paths shorter than MAX_PATH, 260 bytes with the NUL that
// ends them; the menu and the file dialogs could show no other.
constexpr std::size_t pathLimit = 260;

bool couldBePath(const std::string& text) {
    return !text.empty() && text.size() < pathLimit &&
           std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

} // namespace

bool RecentFiles::sameIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return compareNoCase(a, b) == 0;
}

void RecentFiles::add(const std::string& path) {
    if (!couldBePath(path))
        return;
    remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > capacity)
        paths_.resize(capacity);
}

void RecentFiles::remove(const std::string& path) {
    std::erase_if(paths_, [&](const std::string& held) { return sameName_(held, path); });
}

void RecentFiles::appendEntriesTo(RecordList& entries) const {
    for (std::size_t position = 0; position < paths_.size(); ++position)
        entries.append(Record(keyOf(position), paths_[position]));
}

RecentFiles RecentFiles::fromEntries(const RecordList& entries, SameName sameName) {
    std::array<std::string, capacity> slots;
    for (const Record& entry : entries)
        for (std::size_t position = 0; position < capacity; ++position)
            if (entry.name() == keyOf(position))
                slots[position] = entry.value();
    // Added oldest first, so that the first key ends on top and a path that
    // comes again keeps its more recent place.
    RecentFiles list(sameName);
    for (auto slot = slots.rbegin(); slot != slots.rend(); ++slot)
        list.add(*slot);
    return list;
}
