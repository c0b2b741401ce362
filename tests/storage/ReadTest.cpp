#include <cstdio>
#include <vector>

#include <gtest/gtest.h>

#include "RecordFormat.h"
#include "RecordList.h"
#include "support/RecordLists.h"
#include "support/TempDir.h"

namespace {

struct ReadCase {
    const char* what;
    std::string file;
    std::vector<Record> records;
};

std::string bytes(const char* s, std::size_t n) { return std::string(s, n); }

std::vector<ReadCase> readCases() {
    return {
        {"empty file", "", {}},
        {"no braces at all", "just some text\r\n", {}},
        {"last entry without line end", "{a=b}", {{"a", "b"}}},
        {"entry cut off before its closing brace", "{a=b}\r\n{c=d", {{"a", "b"}}},
        {"entry cut off before its equals sign", "{a=b}\r\n{c", {{"a", "b"}}},
        {"text around entries is ignored", "xyz{a=b}junk}={c=d}", {{"a", "b"}, {"c", "d"}}},
        {"an entry without = swallows up to the next =", "{abc}\r\n{x=y}", {{"abc}\r\n{x", "y"}}},
        {"value keeps later equals signs", "{a=b=c}", {{"a", "b=c"}}},
        {"empty name and value", "{=}", {{"", ""}}},
        {"braces inside name and value", "{a{b=c{d}", {{"a{b", "c{d"}}},
        {"escapes", "{a\\ob\\cc=\\\\n}\r\n", {{"a{b}c", "\\n"}}},
        {"unknown escapes keep the byte", "{\\q=\\C}", {{"q", "C"}}},
        {"a backslash ending a value stays", "{k=v\\}", {{"k", "v\\"}}},
        {"byte 0xFF is data", bytes("{\xff=\xff\xff}{b=\xff}", 12), {{"\xff", "\xff\xff"}, {"b", "\xff"}}},
        {"NUL bytes are data", bytes("{a\0=\0b}", 7), {{bytes("a\0", 2), bytes("\0b", 2)}}},
        {"CR LF inside a value", "{two=first\r\nsecond}\r\n", {{"two", "first\r\nsecond"}}},
        {"escaped equals sign stays in the name", "{a\\=b=c=d}", {{"a=b", "c=d"}}},
        {"escaped backslash before the equals sign", "{a\\\\=b}", {{"a\\", "b"}}},
        {"duplicates and empty names are kept", "{=}{x=1}{x=1}", {{"", ""}, {"x", "1"}, {"x", "1"}}},
    };
}

// Reads the file the way the loader's block reader does (RecordList::load).
std::vector<Record> loadWithList(const std::string& path) {
    RecordList list;
    EXPECT_TRUE(list.load(path));
    return recordsOf(list);
}

// Reads the same file one readRecord call at a time (the byte-wise reader).
std::vector<Record> loadWithReadRecord(const std::string& path) {
    std::vector<Record> records;
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    EXPECT_NE(stream, nullptr);
    Record record;
    while (readRecord(record, stream) == EntryRead::complete)
        records.push_back(record);
    std::fclose(stream);
    return records;
}

TEST(Read, BothReadersFollowTheFormat) {
    TempDir dir;
    std::string path = dir.file("case.txt");
    for (const ReadCase& c : readCases()) {
        writeBytes(path, c.file);
        EXPECT_EQ(loadWithList(path), c.records) << c.what;
        EXPECT_EQ(loadWithReadRecord(path), c.records) << c.what;
    }
}

TEST(Read, EntriesLongerThanOneReadBlockAreWhole) {
    TempDir dir;
    std::string path = dir.file("long.txt");
    std::string name(100000, 'n');
    std::string value(300000, 'v');
    value[150000] = '{';
    writeBytes(path, "junk{" + name + "=" + value + "}\r\n{x=y}");
    EXPECT_EQ(loadWithList(path), (std::vector<Record>{{name, value}, {"x", "y"}}));
}

TEST(Read, LoadTellsWhatASaveWouldNotWriteBack) {
    struct Case {
        std::string file;
        bool text;
        bool cutOff;
        bool rewritten; // an entry a save writes differently
    };
    const Case cases[] = {
        {"", false, false, false},
        {"{a=b}\r\n{c=d}\r\n", false, false, false},
        {"\r\n{a=b}\r\n\r\n \t{c=d}\n", false, false, false},
        {"{a\\=\\ob\\c\\\\=c=\\o\\c\\\\}\r\n", false, false, false},
        {"Two lines of\r\nordinary text.\r\n", true, false, false},
        {"{a=b}junk{c=d}", true, false, false},
        {"{a=b}\r\n" + std::string(70000, ' ') + "x", true, false, false},
        {"{a=b}\r\n{c=d", false, true, false},
        {"{a=b}\r\n{c", false, true, false},
        {"x{a=b", true, true, false},
        {"{abc}\r\n{x=y}\r\n", false, false, true},
        {"{a{b=c}\r\n", false, false, true},
        {"{a=b{c}\r\n", false, false, true},
        {"{a\\q=b}\r\n", false, false, true},
        {"{a=b\\=c}\r\n", false, false, true},
        {"{k=v\\}\r\n", false, false, true},
        {"{a}b=c}\r\n", false, false, true},
        {"{a\\q=b}\r\n{c=d}\r\n{e=f}\r\n", false, false, true},
    };
    TempDir dir;
    std::string path = dir.file("case.txt");
    for (const Case& c : cases) {
        writeBytes(path, c.file);
        RecordList list;
        LoadReport report;
        EXPECT_TRUE(list.load(path, &report));
        EXPECT_EQ(report.textOutsideEntries, c.text) << c.file.substr(0, 40);
        EXPECT_EQ(report.cutOffEntry, c.cutOff) << c.file.substr(0, 40);
        EXPECT_EQ(report.rewrittenEntry, c.rewritten) << c.file.substr(0, 40);
        EXPECT_EQ(report.saveWouldChange(), c.text || c.cutOff || c.rewritten) << c.file.substr(0, 40);
        EXPECT_EQ(recordsOf(list), loadWithList(path));
    }
}

TEST(Read, ReadRecordClearsTheTargetFirst) {
    TempDir dir;
    std::string path = dir.file("one.txt");
    writeBytes(path, "nothing here");
    Record record("old", "stuff");
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readRecord(record, stream), EntryRead::endOfInput);
    std::fclose(stream);
    EXPECT_EQ(record, Record("", ""));
}

} // namespace
