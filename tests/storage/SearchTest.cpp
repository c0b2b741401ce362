#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "RecordSearch.h"
#include "support/RecordLists.h"

// Failures name the place rather than its bytes.
void PrintTo(const TextPlace& place, std::ostream* out) {
    *out << "record " << place.record << (place.field == RecordField::name ? " name " : " value ") << place.offset;
}

namespace {

using enum RecordSearch::Direction;
using enum RecordField;

struct SearchRow {
    std::string text;
    bool matchCase;
    RecordSearch::Direction direction;
    TextPlace from;
    std::optional<TextPlace> expected;
    bool shiftJis = false; // in text of code page 932 (Japanese)
};

// Code page 932's lead bytes: "\x83\x41" is one character (katakana A), and
// so is "\x88\x9F" (a kanji), whose trail byte is a lead byte too.
LeadBytes codePage932() {
    LeadBytes leadBytes;
    for (int byte = 0x81; byte <= 0xFC; ++byte)
        if (byte <= 0x9F || byte >= 0xE0)
            leadBytes.add(static_cast<unsigned char>(byte));
    return leadBytes;
}

std::string dots(std::size_t count) { return std::string(count, '.'); }

std::string repeated(const std::string& text, std::size_t count) {
    std::string result;
    while (count-- > 0)
        result += text;
    return result;
}

// Record 2's "alpha" stands after a NUL, where no edit shows it. Records 4
// and 5 are long enough to be searched sixteen bytes at a time; record 5's
// name hides "omicron" after a NUL, its value shows one before a NUL and
// hides one after it. Records 6 to 8 are Japanese: in record 8's name
// forty-one lead bytes come before a trail byte "A", then a letter "A";
// its value holds trail bytes "A" only. Record 7's value shows a lead byte
// alone before its NUL.
const RecordList records = listOf({
    {"Alpha", "one two\r\nalpha"},
    {"beta", "ALPHA and alpha"},
    {std::string("gam\0alpha", 9), "x"},
    {"delta", "last"},
    {"omicron" + dots(33), dots(33) + "OMICRON"},
    {dots(17) + '\0' + ".." + "omicron" + dots(19), dots(3) + "omicron" + ".." + '\0' + "omicron" + dots(24)},
    {"\x83\x41" "A", "\x88\x9F\x83\x41"},
    {"A\x88\x9F", std::string("A\x88\0\x9F", 4)},
    {std::string(40, '\x88') + "\x88\x41" "A" + dots(20), repeated("\x83\x41", 10)},
});

const SearchRow rows[] = {
    {"alpha", false, forward, {0, name, 0}, TextPlace{0, name, 0}},
    {"alpha", false, forward, {0, name, 1}, TextPlace{0, value, 9}},
    {"alpha", false, forward, {1, value, 1}, TextPlace{1, value, 10}},
    {"alpha", false, forward, {1, value, 11}, TextPlace{0, name, 0}},
    {"alpha", false, forward, {99, name, 0}, TextPlace{0, name, 0}},
    {"alpha", true, forward, {0, name, 0}, TextPlace{0, value, 9}},
    {"ALPHA", true, forward, {1, value, 1}, TextPlace{1, value, 0}},
    {"alpha", false, backward, {1, value, 10}, TextPlace{1, value, 0}},
    {"alpha", false, backward, {0, name, 0}, TextPlace{1, value, 10}},
    {"a", true, backward, {0, name, 0}, TextPlace{3, value, 1}},
    {"o\r\nAL", false, forward, {0, name, 0}, TextPlace{0, value, 6}},
    {"last", false, forward, {3, value, 99}, TextPlace{3, value, 0}},
    {std::string("DEL\0ta", 6), false, backward, {0, name, 0}, TextPlace{3, name, 0}},
    {"zeta", false, forward, {0, name, 0}, std::nullopt},
    {"omicron", false, forward, {3, value, 4}, TextPlace{4, name, 0}},
    {"omicron", true, backward, {4, value, 40}, TextPlace{4, name, 0}},
    {"omicron", false, forward, {4, name, 1}, TextPlace{4, value, 33}},
    {"OMICRON", true, backward, {5, name, 0}, TextPlace{4, value, 33}},
    {"omicron", false, forward, {5, name, 0}, TextPlace{5, value, 3}},
    {"omicron", false, forward, {5, name, 18}, TextPlace{5, value, 3}},
    {"omicron", false, backward, {99, name, 0}, TextPlace{5, value, 3}},
    {"a", false, forward, {6, name, 0}, TextPlace{6, name, 1}},
    {"a", false, forward, {6, name, 0}, TextPlace{6, name, 2}, true},
    {"a", false, forward, {6, name, 1}, TextPlace{6, name, 2}, true}, // begun on a trail byte
    {"a", false, backward, {6, name, 2}, TextPlace{3, value, 1}, true},
    {"\x83\x41", false, forward, {6, value, 0}, TextPlace{6, value, 2}, true},
    {"\x83\x41", true, backward, {7, name, 0}, TextPlace{6, value, 2}, true},
    {"\x83\x61", false, forward, {0, name, 0}, std::nullopt, true},
    {"a\x88", false, forward, {7, name, 0}, TextPlace{7, value, 0}, true},
    {"a", false, forward, {7, value, 1}, TextPlace{8, name, 42}, true},
    {"a", false, forward, {8, name, 43}, TextPlace{0, name, 0}, true},
    {"\x88\x88", true, backward, {99, name, 0}, TextPlace{8, name, 38}, true},
};

TEST(RecordSearch, FindsTheNextMatchInItsDirectionGoingRound) {
    for (const SearchRow& row : rows) {
        RecordSearch search(row.text, row.matchCase, row.shiftJis ? codePage932() : LeadBytes());
        std::optional<TextPlace> found = search.find(records, row.from, row.direction);
        EXPECT_EQ(found, row.expected) << "\"" << row.text << "\" from " << ::testing::PrintToString(row.from);
    }
}

} // namespace
