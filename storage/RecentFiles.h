#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "RecordList.h"

// The database files used last, most recent first, for the File menu. Two
// paths that differ only in the case of their letters name the same file on
// Windows and stand in the list once.
class RecentFiles {
public:
    static constexpr std::size_t capacity = 4;

    const std::vector<std::string>& paths() const { return paths_; }

    // Puts the path at the top; one already in the list moves there, and
    // the oldest drops out of a full list.
    void add(const std::string& path);
    void remove(const std::string& path);

    // The settings entries "recentFile1" (the most recent) to "recentFile4",
    // one for each path in the list.
    void appendEntriesTo(RecordList& entries) const;
    // The list those entries give. A key given more than once takes its last
    // value; other keys, empty values and repeated paths are passed over.
    static RecentFiles fromEntries(const RecordList& entries);

private:
    std::vector<std::string> paths_;
};
