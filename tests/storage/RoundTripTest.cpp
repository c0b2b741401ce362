#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "RecordFormat.h"
#include "RecordList.h"
#include "support/RecordLists.h"
#include "support/TempDir.h"

namespace {

std::string saved(const RecordList& list) {
    TempDir dir;
    std::string path = dir.file("saved.txt");
    EXPECT_TRUE(list.save(path));
    return readBytes(path);
}

RecordList loaded(const std::string& bytes) {
    TempDir dir;
    std::string path = dir.file("loaded.txt");
    writeBytes(path, bytes);
    RecordList list;
    EXPECT_TRUE(list.load(path));
    return list;
}

TEST(Save, WritesTheExactBytes) {
    EXPECT_EQ(saved(RecordList()), "");
    EXPECT_EQ(saved(listOf({{"New Record", ""}})), "{New Record=}\r\n");
    EXPECT_EQ(saved(listOf({{"a{b}c", "\\n"}})), "{a\\ob\\cc=\\\\n}\r\n");
    EXPECT_EQ(saved(listOf({{"two", "first\r\nsecond"}, {"x", "="}})),
              "{two=first\r\nsecond}\r\n{x==}\r\n");
}

TEST(Save, AnEqualsSignInANameIsEscapedAndSurvives) {
    RecordList list = listOf({{"a=b", "c=d"}, {"=", "="}});
    std::string bytes = saved(list);
    EXPECT_EQ(bytes, "{a\\=b=c=d}\r\n{\\===}\r\n");
    EXPECT_EQ(recordsOf(loaded(bytes)), recordsOf(list));
}

TEST(Save, OverwritesAnExistingFile) {
    TempDir dir;
    std::string path = dir.file("db.txt");
    writeBytes(path, std::string(10000, 'x'));
    EXPECT_TRUE(listOf({{"a", "b"}}).save(path));
    EXPECT_EQ(readBytes(path), "{a=b}\r\n");
    EXPECT_TRUE(RecordList().save(path));
    EXPECT_EQ(readBytes(path), "");
}

// Random byte strings drawn so that the bytes with a meaning in the format
// (braces, backslash, "=", CR, LF, NUL) are common, every byte value is
// possible and empty strings occur often.
std::string randomBytes(std::mt19937& random) {
    static const char special[] = {'{', '}', '\\', '=', '\r', '\n', '\0', '\xff', 'o', 'c'};
    std::uniform_int_distribution<int> lengthOf(0, 40);
    std::uniform_int_distribution<int> kind(0, 2);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<int> specialIndex(0, sizeof special - 1);
    int length = kind(random) == 0 ? 0 : lengthOf(random);
    std::string s;
    for (int i = 0; i < length; ++i)
        s.push_back(kind(random) == 0 ? special[specialIndex(random)] : static_cast<char>(anyByte(random)));
    return s;
}

TEST(RoundTrip, RandomRecordsComeBackExactly) {
    std::mt19937 random(20261207);
    TempDir dir;
    std::string path = dir.file("roundtrip.txt");
    for (int round = 0; round < 200; ++round) {
        RecordList list;
        int count = round % 7;
        for (int i = 0; i < count; ++i)
            list.append(Record(randomBytes(random), randomBytes(random)));
        ASSERT_TRUE(list.save(path));
        RecordList back;
        ASSERT_TRUE(back.load(path));
        ASSERT_EQ(recordsOf(back), recordsOf(list)) << "round " << round;
    }
}

// Loading sizes its array from the first thousand entries. Files whose
// first entries are much smaller or much larger than the rest, or all
// alike, come back whole either way.
TEST(RoundTrip, FilesWhoseFirstEntriesMisleadComeBackExactly) {
    auto entries = [](std::size_t count, std::size_t valueSize) {
        std::vector<Record> records;
        for (std::size_t i = 0; i < count; ++i)
            records.emplace_back("n" + std::to_string(i), std::string(valueSize, static_cast<char>('a' + i % 26)));
        return records;
    };
    auto joined = [](std::vector<Record> a, const std::vector<Record>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::vector<Record> files[] = {
        joined(entries(1500, 0), entries(3000, 300)),
        joined(entries(1500, 300), entries(20000, 0)),
        entries(5000, 40),
    };
    TempDir dir;
    std::string path = dir.file("misleading.txt");
    for (const std::vector<Record>& records : files) {
        RecordList list = listOf(records);
        ASSERT_TRUE(list.save(path));
        RecordList back;
        ASSERT_TRUE(back.load(path));
        EXPECT_TRUE(recordsOf(back) == records);
    }
}

// Entries smaller than, as large as and larger than one write block (1 MB),
// escapes included: the file holds each of them whole and in order.
TEST(RoundTrip, EntriesLargerThanAWriteBlockComeBackExactly) {
    std::string mixed;
    while (mixed.size() < 1500000)
        mixed += "text {with} \\ and = signs\r\n";
    RecordList list = listOf({{"small", "x"},
                              {"mixed", mixed},
                              {"{all braces}", std::string(1 << 20, '}')},
                              {std::string(1 << 19, '='), "name of equals signs"},
                              {"last", ""}});
    std::string expected;
    for (const Record& record : list) {
        std::string value = record.value();
        expected += "{" + escapedName(record.name()) + "=" + escapeField(value) + "}\r\n";
    }
    std::string bytes = saved(list);
    EXPECT_EQ(bytes.size(), expected.size());
    EXPECT_TRUE(bytes == expected);
    EXPECT_TRUE(recordsOf(loaded(bytes)) == recordsOf(list));
}

} // namespace
