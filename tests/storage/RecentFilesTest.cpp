#include <gtest/gtest.h>

#include "RecentFiles.h"
#include "support/RecordLists.h"

namespace {

using Paths = std::vector<std::string>;

TEST(RecentFiles, TheLastUsedComeFirstEachOnceWhateverTheCase) {
    RecentFiles files;
    for (const char* path : {"C:\\a", "C:\\b", "c:\\A", "C:\\c", "C:\\d", "C:\\e"})
        files.add(path);
    EXPECT_EQ(files.paths(), (Paths{"C:\\e", "C:\\d", "C:\\c", "c:\\A"}));
    files.remove("C:\\C");
    RecordList entries;
    files.appendEntriesTo(entries);
    EXPECT_EQ(recordsOf(entries),
              (std::vector<Record>{{"recentFile1", "C:\\e"}, {"recentFile2", "C:\\d"}, {"recentFile3", "c:\\A"}}));
}

// The last value of each key, in the keys' order, each path once; other
// keys and what cannot be a path (empty, MAX_PATH bytes or more, a control
// character) are passed over.
TEST(RecentFiles, ComeFromTheSettingsEntriesInTheOrderOfTheirKeys) {
    RecordList entries = listOf({{"recentFile3", "A"}, {"recentFile1", "old"}, {"recentFile1", "a"}, {"recentFile2", ""},
                                 {"recentFile4", "d"}, {"recentFile5", "e"}, {"RecentFile2", "b"}, {"recentFile0", "z"}});
    EXPECT_EQ(RecentFiles::fromEntries(entries).paths(), (Paths{"a", "d"}));
    std::string longest(259, 'p');
    entries = listOf({{"recentFile1", longest + "p"}, {"recentFile2", "C:\\x\r\ny.txt"}, {"recentFile3", longest},
                      {"recentFile4", "C:\\tab\t.txt"}});
    EXPECT_EQ(RecentFiles::fromEntries(entries).paths(), Paths{longest});
}

} // namespace
