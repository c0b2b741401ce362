#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RecentFiles.h"
#include "support/RecordLists.h"

namespace {

using Paths = std::vector<std::string>;

TEST(RecentFiles, TheLastUsedComesFirstOnceWhateverItsCase) {
    RecentFiles files;
    for (const char* path : {"C:\\a.txt", "C:\\b.txt", "c:\\A.TXT", "C:\\c.txt", "C:\\d.txt", "C:\\e.txt"})
        files.add(path);
    EXPECT_EQ(files.paths(), (Paths{"C:\\e.txt", "C:\\d.txt", "C:\\c.txt", "c:\\A.TXT"}));
    files.remove("C:\\C.txt");
    EXPECT_EQ(files.paths(), (Paths{"C:\\e.txt", "C:\\d.txt", "c:\\A.TXT"}));
}

TEST(RecentFiles, GoThroughTheSettingsEntriesInOrder) {
    RecentFiles files;
    for (const char* path : {"a{b}\\c", "x", "y"})
        files.add(path);
    RecordList entries;
    files.appendEntriesTo(entries);
    EXPECT_EQ(recordsOf(entries),
              (std::vector<Record>{{"recentFile1", "y"}, {"recentFile2", "x"}, {"recentFile3", "a{b}\\c"}}));
    EXPECT_EQ(RecentFiles::fromEntries(entries).paths(), files.paths());

    // Out of order, repeated, empty or unknown keys: the last value of each
    // key, in the keys' order, each path once.
    RecordList found = listOf({{"recentFile3", "c"}, {"recentFile1", "old"}, {"recentFile1", "a"}, {"recentFile2", ""},
                               {"recentFile4", "A"}, {"recentFile5", "e"}, {"RecentFile2", "b"}, {"recentFile0", "z"}});
    EXPECT_EQ(RecentFiles::fromEntries(found).paths(), (Paths{"a", "c"}));
    EXPECT_TRUE(RecentFiles::fromEntries(RecordList()).paths().empty());
}

} // namespace
