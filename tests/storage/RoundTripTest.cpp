#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "RecordList.h"
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

RecordList listOf(const std::vector<Record>& records) {
    RecordList list;
    for (const Record& record : records)
        list.append(record);
    return list;
}

std::vector<Record> recordsOf(const RecordList& list) {
    return std::vector<Record>(list.begin(), list.end());
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

} // namespace
