#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "RecordList.h"

// The database files used last, most recent first, for the File menu. Two
// paths that name one file stand in the list once; only what can be a path
// gets in.
class RecentFiles {
public:
    static constexpr std::size_t capacity = 4;

    // Whether two paths are one name to the file system. The program hands
    // over the system's own comparison, which knows the code page's
    // characters and letters.
    using SameName = bool (*)(const std::string& a, const std::string& b);
    // Letters "A" to "Z" alike in either case, every other byte as it is.
    static bool sameIgnoringAsciiCase(const std::string& a, const std::string& b);

    explicit RecentFiles(SameName sameName = sameIgnoringAsciiCase) : sameName_(sameName) {}

    const std::vector<std::string>& paths() const { return paths_; }
    SameName sameName() const { return sameName_; }

    // Puts the path at the top; one already in the list moves there, and
    // the oldest drops out of a full list. What cannot be a path (empty,
    // too long for Windows, or holding a control character such as a line
    // break) is passed over.
    void add(const std::string& path);
    void remove(const std::string& path);

    // The settings entries "recentFile1" (the most recent) to "recentFile4",
    // one for each path in the list.
    void appendEntriesTo(RecordList& entries) const;
    // The list those entries give. A key given more than once takes its last
    // value; other keys, values that cannot be paths and repeated paths are
    // passed over.
    static RecentFiles fromEntries(const RecordList& entries, SameName sameName = sameIgnoringAsciiCase);

private:
    std::vector<std::string> paths_;
    SameName sameName_;
};
