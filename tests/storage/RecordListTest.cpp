#include <algorithm>
#include <functional>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "RecordFormat.h"
#include "RecordList.h"
#include "storage/StreamFault.h"
#include "support/RecordLists.h"
#include "support/TempDir.h"

namespace {

using Names = std::vector<std::string>;

TEST(RecordList, InsertAndEraseKeepTheOrder) {
    RecordList list = listOfNames({"a", "b", "c"});
    list.insertAt(3, Record("end", ""));
    list.insertAt(0, Record("start", ""));
    list.insertAt(2, Record("middle", ""));
    EXPECT_EQ(namesOf(list), (Names{"start", "a", "middle", "b", "c", "end"}));
    list.eraseAt(0);
    list.eraseAt(4);
    list.eraseAt(1);
    EXPECT_EQ(namesOf(list), (Names{"a", "b", "c"}));
}

TEST(RecordList, MoveTakesARecordToItsNewPlace) {
    struct Row {
        int from, to;
        Names expected;
    } rows[] = {
        {0, 3, {"b", "c", "d", "a"}}, {3, 0, {"d", "a", "b", "c"}}, {1, 2, {"a", "c", "b", "d"}},
        {2, 1, {"a", "c", "b", "d"}}, {2, 2, {"a", "b", "c", "d"}},
    };
    for (const Row& row : rows) {
        RecordList list = listOfNames({"a", "b", "c", "d"});
        list.move(row.from, row.to);
        EXPECT_EQ(namesOf(list), row.expected) << row.from << " to " << row.to;
        EXPECT_EQ(list.at(row.to).value(), "value of " + list.at(row.to).name());
    }
}

TEST(RecordList, HoldsCopiesOfTheCallersRecords) {
    Record record("name", "value");
    RecordList list;
    list.append(record);
    record.setName("changed");
    list.at(0).setValue("edited");
    EXPECT_EQ(list.at(0), Record("name", "edited"));
    EXPECT_EQ(record, Record("changed", "value"));
}

TEST(RecordList, AtPastTheEndThrowsTheRangeError) {
    RecordList list = listOfNames({"a"});
    try {
        list.at(1);
        FAIL() << "no exception";
    } catch (const std::out_of_range& error) {
        EXPECT_EQ(std::string(error.what()).rfind("vector::_M_range_check", 0), 0u) << error.what();
    }
    EXPECT_THROW(list.at(static_cast<std::size_t>(-1)), std::out_of_range);
}

TEST(RecordList, SortsByNameIgnoringCase) {
    RecordList list = listOfNames({"b", "A", "c"});
    list.sortAscending();
    EXPECT_EQ(namesOf(list), (Names{"A", "b", "c"}));
    list.sortDescending();
    EXPECT_EQ(namesOf(list), (Names{"c", "b", "A"}));

    // The bytes between "Z" and "a" sort before every letter.
    list = listOfNames({"a", "_b", "B", "[", "9", "\xe9"});
    list.sortAscending();
    EXPECT_EQ(namesOf(list), (Names{"9", "[", "_b", "a", "B", "\xe9"}));
}

TEST(RecordList, SortMovesValuesWithTheirNames) {
    RecordList list = listOfNames({"z", "y", "x"});
    list.sortAscending();
    for (const Record& record : list)
        EXPECT_EQ(record.value(), "value of " + record.name());
}

TEST(RecordList, SortHandlesTinyListsAndEqualNames) {
    RecordList empty;
    empty.sortAscending();
    EXPECT_EQ(empty.size(), 0u);
    RecordList one = listOfNames({"only"});
    one.sortDescending();
    EXPECT_EQ(namesOf(one), (Names{"only"}));

    RecordList same = listOfNames({"x", "X", "x", "X"});
    same.sortAscending();
    EXPECT_EQ(same.size(), 4u);
    for (const Record& record : same)
        EXPECT_TRUE(record.name() == "x" || record.name() == "X");
}

TEST(RecordList, SortsALargeListCompletely) {
    RecordList list;
    unsigned seed = 12345;
    for (int i = 0; i < 5000; ++i) {
        seed = seed * 1103515245 + 12345;
        list.append(Record(std::to_string(seed % 1000), ""));
    }
    list.sortAscending();
    for (std::size_t i = 1; i < list.size(); ++i)
        EXPECT_FALSE(nameLess(list.at(i), list.at(i - 1)));
    list.sortDescending();
    for (std::size_t i = 1; i < list.size(); ++i)
        EXPECT_FALSE(nameGreater(list.at(i), list.at(i - 1)));
}

// Names made to stress the sort: long shared beginnings, case variants,
// duplicates, NUL bytes and high bytes. Each value holds the record's first
// position, so the order of equal names shows too.
RecordList trickyList(int count) {
    const char* const pieces[] = {"meeting notes", "MEETING NOTES", "Meeting", "_", "a", "B", "\xe9", "\x80", "z"};
    RecordList list;
    unsigned seed = 2024;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245 + 12345;
        return (seed >> 16) % range;
    };
    for (int i = 0; i < count; ++i) {
        std::string name;
        for (unsigned parts = next(4); parts > 0; --parts)
            name += pieces[next(sizeof pieces / sizeof pieces[0])];
        if (next(20) == 0)
            name += std::string(1, '\0') + pieces[next(3)];
        list.append(Record(name, std::to_string(i)));
    }
    return list;
}

TEST(RecordList, SortsInTheOrderOfTheNameComparisonKeepingEqualNamesInOrder) {
    RecordList list = trickyList(3000);
    std::vector<Record> expected = recordsOf(list);

    std::stable_sort(expected.begin(), expected.end(), nameLess);
    list.sortAscending();
    EXPECT_TRUE(recordsOf(list) == expected);

    std::stable_sort(expected.begin(), expected.end(), nameGreater);
    list.sortDescending();
    EXPECT_TRUE(recordsOf(list) == expected);
}

// Each long operation reports as it goes, never back, and whole at its end.
TEST(RecordList, LongOperationsReportTheirProgress) {
    TempDir dir;
    std::string path = dir.file("db.txt");
    const std::pair<const char*, std::function<bool(RecordList&, const Progress&)>> rows[] = {
        {"save", [&](RecordList& list, const Progress& progress) { return list.save(path, progress); }},
        {"load", [&](RecordList& list, const Progress& progress) { return list.load(path, nullptr, progress); }},
        {"ascending", [](RecordList& list, const Progress& progress) { return list.sortAscending(progress); }},
        {"descending", [](RecordList& list, const Progress& progress) { return list.sortDescending(progress); }},
        {"clear", [](RecordList& list, const Progress& progress) { return list.clear(progress), true; }},
    };
    for (const auto& [name, operation] : rows) {
        RecordList list = trickyList(3000);
        std::vector<double> shares;
        EXPECT_TRUE(operation(list, [&](std::uint64_t done, std::uint64_t total) {
            shares.push_back(total ? static_cast<double>(done) / static_cast<double>(total) : -1);
        }));
        EXPECT_GT(shares.size(), 2u) << name;
        EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()) && shares.front() >= 0) << name;
        EXPECT_EQ(shares.back(), 1.0) << name;
    }
}

TEST(RecordList, LoadOfAMissingFileKeepsTheRecords) {
    TempDir dir;
    RecordList list = listOfNames({"keep", "me"});
    EXPECT_FALSE(list.load(dir.file("missing.txt")));
    EXPECT_EQ(namesOf(list), (Names{"keep", "me"}));
}

TEST(RecordList, LoadReplacesTheRecordsEvenWithNoEntries) {
    TempDir dir;
    std::string path = dir.file("empty.txt");
    writeBytes(path, "");
    RecordList list = listOfNames({"old"});
    EXPECT_TRUE(list.load(path));
    EXPECT_EQ(list.size(), 0u);
}

TEST(RecordList, LoadThatFailsWhileReadingKeepsTheRecords) {
    // Entries over several read blocks: the first block is read and parsed,
    // then the disk fails.
    TempDir dir;
    std::string path = dir.file("db.txt");
    std::vector<std::string> names;
    for (int i = 0; i < 2000; ++i)
        names.push_back("record " + std::to_string(i) + std::string(100, '.'));
    ASSERT_TRUE(listOfNames(names).save(path));
    RecordList list = listOfNames({"keep"});
    {
        StreamFault fault(StreamFault::reading, 1);
        EXPECT_FALSE(list.load(path));
        EXPECT_TRUE(fault.happened());
    }
    EXPECT_EQ(namesOf(list), (Names{"keep"}));
}

} // namespace
