#include <gtest/gtest.h>

#include <climits>

#include "GdiTestSupport.h"
#include "Settings.h"
#include "support/TempDir.h"

namespace {

std::string entry(const std::string& key, const std::string& value) {
    return "{" + key + "=" + value + "}\r\n";
}

std::string defaultFile(const std::string& splitterX = "200") {
    return entry("color", "0") + entry("backgroundColor", "16777215") + entry("fontName", "Courier New") +
           entry("fontHeight", "10") + entry("fontBold", "false") + entry("fontItalic", "false") +
           entry("windowX", "0") + entry("windowY", "0") + entry("windowWidth", "400") +
           entry("windowHeight", "300") + entry("windowMaximized", "false") + entry("splitterX", splitterX);
}

void expectDefaultFont(const Font& font) {
    LOGFONTA request = logicalFontOf(font.handle());
    EXPECT_STREQ(request.lfFaceName, "Courier New");
    EXPECT_EQ(font.pointSize(), 10);
    EXPECT_EQ(request.lfWeight, 0);
    EXPECT_EQ(request.lfItalic, 0);
}

class SettingsTest : public ::testing::Test {
protected:
    // Loads the given file content into `settings`.
    bool loadText(const std::string& text) {
        writeBytes(path, text);
        return settings.load(path);
    }
    std::string savedText() {
        EXPECT_TRUE(settings.save(path));
        return readBytes(path);
    }

    TempDir dir;
    std::string path = dir.file("settings.txt");
    Settings settings;
};

TEST_F(SettingsTest, MissingFileChangesNothing) {
    EXPECT_FALSE(settings.load(dir.file("missing.txt")));
    EXPECT_EQ(settings.textColor(), 0u);
    EXPECT_EQ(settings.backgroundColor(), 16777215u);
    EXPECT_EQ(settings.windowX(), 0);
    EXPECT_EQ(settings.windowY(), 0);
    EXPECT_EQ(settings.windowWidth(), 400);
    EXPECT_EQ(settings.windowHeight(), 300);
    EXPECT_FALSE(settings.windowMaximized());
    EXPECT_EQ(settings.splitterX(), 200);
    expectDefaultFont(settings.font());

    settings.setFont(Font("Courier New", 20, true, true));
    HFONT held = settings.font().handle();
    EXPECT_FALSE(settings.load(dir.file("missing.txt")));
    EXPECT_EQ(settings.font().handle(), held);
}

TEST_F(SettingsTest, DefaultsAreSavedAsTwelveEntriesInOrder) {
    EXPECT_EQ(savedText(), defaultFile());
}

TEST_F(SettingsTest, FileWithoutFontEntriesBringsBackTheDefaultFont) {
    settings.setWindowX(5);
    for (const char* text : {"", "{splitterX=350}"}) {
        settings.setFont(Font("DejaVu Sans", 20, true, true));
        settings.setWordWrap(true);
        EXPECT_TRUE(loadText(text));
        expectDefaultFont(settings.font());
        EXPECT_EQ(settings.windowX(), 5);
        EXPECT_FALSE(settings.wordWrap()); // as every file written before it
    }
    EXPECT_EQ(settings.splitterX(), 350);
}

TEST_F(SettingsTest, NumbersReadLikeStrtolClampedTo32Bits) {
    struct Case {
        const char* text;
        int expected;
    };
    for (auto [text, expected] : {Case{"0xFF", 255}, {"010", 8}, {"abc", 0}, {"12pt", 12}, {"-20", -20},
                                  {" +7", 7}, {"0X1f", 31}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN}}) {
        ASSERT_TRUE(loadText(entry("windowX", text)));
        EXPECT_EQ(settings.windowX(), expected) << text;
    }
    ASSERT_TRUE(loadText(entry("color", "0xFF") + entry("backgroundColor", "-1") + entry("fontHeight", "12pt")));
    EXPECT_EQ(settings.textColor(), 0x000000FFu);
    EXPECT_EQ(settings.backgroundColor(), 0xFFFFFFFFu);
    EXPECT_EQ(settings.font().pointSize(), 12);
}

TEST_F(SettingsTest, OnlyTheExactWordTrueIsTrue) {
    for (const char* word : {"True", "1", "yes", "true ", "TRUE"}) {
        ASSERT_TRUE(loadText(entry("fontBold", word) + entry("fontItalic", word) + entry("windowMaximized", word)));
        EXPECT_FALSE(settings.font().isBold() || settings.font().isItalic() || settings.windowMaximized()) << word;
    }
    ASSERT_TRUE(loadText(entry("fontBold", "true") + entry("fontItalic", "true") + entry("windowMaximized", "true")));
    EXPECT_TRUE(settings.font().isBold() && settings.font().isItalic() && settings.windowMaximized());
}

TEST_F(SettingsTest, KeysMatchExactlyAndTheLastOneWins) {
    ASSERT_TRUE(loadText(entry("Color", "255") + entry("colour", "255") + entry("windowX", "1") +
                         entry("windowx", "2") + entry("windowX", "3") + entry("windowX ", "4")));
    EXPECT_EQ(settings.textColor(), 0u);
    EXPECT_EQ(settings.windowX(), 3);
}

TEST_F(SettingsTest, UnknownKeysAreDroppedOnTheNextSave) {
    ASSERT_TRUE(loadText(entry("unknown", "1") + entry("Color", "255") + entry("splitterX", "350")));
    EXPECT_EQ(savedText(), defaultFile("350"));
}

TEST_F(SettingsTest, EverythingComesBackFromTheFile) {
    settings.setTextColor(0xFFFFFFFF);
    settings.setBackgroundColor(RGB(1, 2, 3));
    settings.setFont(Font("a{b}c\\d", 20, true, true));
    settings.setWindowX(-20);
    settings.setWindowY(30);
    settings.setWindowWidth(640);
    settings.setWindowHeight(480);
    settings.setWindowMaximized(true);
    settings.setSplitterX(-1);
    settings.setWordWrap(true);
    RecentFiles recent;
    recent.add("C:\\{older}.txt");
    recent.add("newer.txt");
    settings.setRecentFiles(recent);
    std::string text = savedText();
    EXPECT_NE(text.find(entry("color", "-1")), std::string::npos);
    EXPECT_NE(text.find(entry("fontName", "a\\ob\\cc\\\\d")), std::string::npos);

    Settings loaded;
    ASSERT_TRUE(loaded.load(path));
    EXPECT_EQ(loaded.textColor(), 0xFFFFFFFFu);
    EXPECT_EQ(loaded.backgroundColor(), RGB(1, 2, 3));
    EXPECT_EQ(faceNameOf(loaded.font().handle()), "a{b}c\\d");
    EXPECT_EQ(loaded.font().pointSize(), 20);
    EXPECT_TRUE(loaded.font().isBold() && loaded.font().isItalic());
    EXPECT_EQ(loaded.windowX(), -20);
    EXPECT_EQ(loaded.windowY(), 30);
    EXPECT_EQ(loaded.windowWidth(), 640);
    EXPECT_EQ(loaded.windowHeight(), 480);
    EXPECT_TRUE(loaded.windowMaximized());
    EXPECT_EQ(loaded.splitterX(), -1);
    EXPECT_TRUE(loaded.wordWrap());
    EXPECT_EQ(loaded.recentFiles().paths(), recent.paths());
}

TEST_F(SettingsTest, WeightsBelowSevenHundredComeBackAsDefaultWeight) {
    for (auto [weight, word, readBack] : {std::tuple{600, "false", 0}, {900, "true", 700}}) {
        HFONT raw = CreateFontA(-13, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, "Courier New");
        settings.setFont(Font(raw));
        DeleteObject(raw);
        EXPECT_NE(savedText().find(entry("fontBold", word)), std::string::npos);
        ASSERT_TRUE(settings.load(path));
        EXPECT_EQ(logicalFontOf(settings.font().handle()).lfWeight, readBack);
    }
}

TEST_F(SettingsTest, FontThatCannotBeMadeLeavesTheOldFont) {
    settings.setFont(Font("Courier New", 20, true, false));
    HFONT held = settings.font().handle();
    writeBytes(path, entry("fontName", "Courier New") + entry("splitterX", "350"));
    {
        GdiHandleFiller filler;
        ASSERT_TRUE(filler.full());
        EXPECT_TRUE(settings.load(path));
        settings.setFont(Font("Courier New", 10, false, false));
    }
    EXPECT_EQ(settings.font().handle(), held);
    EXPECT_EQ(settings.font().pointSize(), 20);
    EXPECT_EQ(settings.splitterX(), 350);
}

} // namespace
