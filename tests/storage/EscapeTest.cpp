#include <gtest/gtest.h>

#include "RecordFormat.h"
#include "support/RecordLists.h"

namespace {

std::string escaped(std::string s) { return escapeField(s); }
std::string unescaped(std::string s) { return unescapeField(s); }

TEST(Escape, BracesAndBackslashBecomeTwoByteEscapes) {
    EXPECT_EQ(escaped("a{b}c\\d"), "a\\ob\\cc\\\\d");
    EXPECT_EQ(escaped("{{}}"), "\\o\\o\\c\\c");
    EXPECT_EQ(escaped(""), "");
}

TEST(Escape, EveryOtherByteIsWrittenAsItIs) {
    std::string others;
    for (int c = 0; c < 256; ++c)
        if (c != '{' && c != '}' && c != '\\')
            others.push_back(static_cast<char>(c));
    EXPECT_EQ(escaped(others), others);
}

TEST(Escape, NamesAlsoEscapeTheEqualsSign) {
    EXPECT_EQ(escapedName("a=b"), "a\\=b");
    EXPECT_EQ(escapedName("x{=}\\"), "x\\o\\=\\c\\\\");
    EXPECT_EQ(escaped("a=b"), "a=b");
}

TEST(Unescape, FollowsTheBackslashRules) {
    EXPECT_EQ(unescaped("\\\\"), "\\");
    EXPECT_EQ(unescaped("\\c\\o"), "}{");
    EXPECT_EQ(unescaped("\\x\\C\\O\\="), "xCO=");  // backslash dropped, byte kept
    EXPECT_EQ(unescaped("end\\"), "end\\");        // a final backslash stays
    EXPECT_EQ(unescaped("\\\\c"), "\\c");          // pairs are consumed left to right
    EXPECT_EQ(unescaped(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Unescape, UndoesEscapeForEveryByte) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        all.push_back(static_cast<char>(c));
    all += "\\\\{}\\";
    EXPECT_EQ(unescaped(escaped(all)), all);
    EXPECT_EQ(unescaped(escapedName(all)), all);
}

} // namespace
