#include <gtest/gtest.h>

#include <memory>

#include "Font.h"
#include "GdiTestSupport.h"
#include "support/Win32Test.h"

namespace {

int screenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

HFONT rawFontOfWeight(int weight) {
    return CreateFontA(-13, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, "Courier New");
}

TEST(Font, PointSizesSurviveTheRoundTripThroughPixels) {
    ASSERT_EQ(screenDpi(), 96);
    for (auto [points, height] : {std::pair{10, -13}, {20, -27}, {36, -48}}) {
        Font font("Courier New", points, false, false);
        EXPECT_EQ(logicalFontOf(font.handle()).lfHeight, height);
        EXPECT_EQ(font.pointSize(), points);
    }
}

TEST(Font, AsksForExactlyTheGivenFaceWeightAndSlant) {
    Font plain("No Such Face {x}", 10, false, false);
    LOGFONTA request = logicalFontOf(plain.handle());
    EXPECT_STREQ(request.lfFaceName, "No Such Face {x}");
    EXPECT_EQ(request.lfWeight, 0);
    EXPECT_EQ(request.lfItalic, 0);
    EXPECT_EQ(request.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(request.lfQuality, DEFAULT_QUALITY);
    EXPECT_EQ(request.lfPitchAndFamily, 0);
    EXPECT_FALSE(plain.isBold() || plain.isItalic());

    Font styled("Courier New", 10, true, true);
    EXPECT_EQ(logicalFontOf(styled.handle()).lfWeight, 700);
    EXPECT_TRUE(styled.isBold() && styled.isItalic());
}

TEST(Font, OnlyWeightsFromSevenHundredAreBold) {
    for (auto [weight, bold] : {std::pair{600, false}, {700, true}, {900, true}}) {
        HFONT raw = rawFontOfWeight(weight);
        EXPECT_EQ(Font(raw).isBold(), bold) << weight;
        DeleteObject(raw);
    }
}

TEST(Font, DefaultHoldsTheStockFontWhichOutlivesIt) {
    { Font font; EXPECT_EQ(font.handle(), stockGuiFont()); }
    EXPECT_TRUE(isGdiObject(stockGuiFont()));
}

TEST(Font, CopyOwnsItsFontAndOutlivesTheSource) {
    auto source = std::make_unique<Font>("Courier New", 10, true, false);
    HFONT sourceHandle = source->handle();
    Font copy(*source);
    EXPECT_NE(copy.handle(), sourceHandle);
    source.reset();
    EXPECT_FALSE(isGdiObject(sourceHandle));
    EXPECT_EQ(copy.pointSize(), 10);
    EXPECT_TRUE(copy.isBold());
    EXPECT_EQ(faceNameOf(copy.handle()), "Courier New");
}

TEST(Font, AssignmentMakesANewFontAndDeletesTheOldOne) {
    Font target("Courier New", 20, false, true);
    HFONT old = target.handle();
    Font source("Courier New", 10, true, false);
    target = source;
    EXPECT_FALSE(isGdiObject(old));
    EXPECT_NE(target.handle(), source.handle());
    EXPECT_EQ(target.pointSize(), 10);
    EXPECT_TRUE(target.isBold() && !target.isItalic());
}

TEST(Font, CopyOfARawHandleLeavesTheHandleToItsOwner) {
    HFONT raw = rawFontOfWeight(700);
    {
        Font constructed(raw);
        Font assigned;
        assigned = raw;
        EXPECT_NE(constructed.handle(), raw);
        EXPECT_NE(assigned.handle(), raw);
        EXPECT_TRUE(assigned.isBold());
    }
    EXPECT_TRUE(isGdiObject(raw));
    DeleteObject(raw);
}

TEST(Font, SelfAssignmentLeavesAFreshValidFont) {
    Font font("Courier New", 10, true, false);
    HFONT old = font.handle();
    Font& same = font;
    font = same;
    EXPECT_NE(font.handle(), old);
    EXPECT_FALSE(isGdiObject(old));
    EXPECT_EQ(font.pointSize(), 10);
    EXPECT_TRUE(font.isBold());
}

TEST(Font, CopyFromNothingKeepsTheHeldFont) {
    Font font("Courier New", 10, false, false);
    HFONT held = font.handle();
    font = static_cast<HFONT>(nullptr);
    Font destroyed;
    destroyed.destroy();
    font = destroyed;
    EXPECT_EQ(font.handle(), held);
    EXPECT_EQ(Font(static_cast<HFONT>(nullptr)).handle(), stockGuiFont());
}

// GDI refuses new objects once the process's handle table is full; that is
// the one reliable way to make CreateFontA and CreateFontIndirectA fail.
TEST(Font, FailedCreationKeepsWhatWasHeld) {
    Font font("Courier New", 20, true, false);
    HFONT held = font.handle();
    std::unique_ptr<Font> bornInFullTable;
    {
        GdiHandleFiller filler;
        ASSERT_TRUE(filler.full());
        EXPECT_FALSE(font.create("Courier New", 10, false, false));
        Font& same = font;
        font = same;
        EXPECT_EQ(font.handle(), held);
        bornInFullTable = std::make_unique<Font>("Courier New", 10, false, false);
    }
    EXPECT_EQ(font.pointSize(), 20);
    EXPECT_TRUE(font.isBold());
    EXPECT_EQ(bornInFullTable->handle(), stockGuiFont());
    EXPECT_EQ(bornInFullTable->pointSize(), Font().pointSize());
}

// The font dialog's face, style and size boxes.
constexpr int faceBox = 0x470;
constexpr int styleBox = 0x471;
constexpr int sizeBox = 0x472;

TEST(FontChoose, StartsFromTheHeldFontAndTakesTheChoice) {
    Font font("DejaVu Sans", 12, true, true);
    HFONT old = font.handle();
    std::string offered;
    DialogAnswerer answerer;
    answerer.then([&](HWND dialog) {
        offered = windowText(GetDlgItem(dialog, faceBox)) + "|" + windowText(GetDlgItem(dialog, styleBox)) + "|" +
                  windowText(GetDlgItem(dialog, sizeBox));
        HWND sizes = GetDlgItem(dialog, sizeBox);
        SendMessageA(sizes, CB_SELECTSTRING, -1, reinterpret_cast<LPARAM>("20"));
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(sizeBox, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
        pressButton(dialog, IDOK);
    });
    EXPECT_TRUE(font.choose(nullptr));
    EXPECT_EQ(offered, "DejaVu Sans|Bold Italic|12");
    EXPECT_FALSE(isGdiObject(old));
    EXPECT_EQ(font.pointSize(), 20);
    EXPECT_TRUE(font.isBold() && font.isItalic());
    EXPECT_EQ(faceNameOf(font.handle()), "DejaVu Sans");
    EXPECT_EQ(answerer.unexpected(), 0);
}

TEST(FontChoose, CancelChangesNothing) {
    Font font("Courier New", 10, false, false);
    HFONT held = font.handle();
    DialogAnswerer answerer;
    answerer.thenPress(IDCANCEL);
    EXPECT_FALSE(font.choose(nullptr));
    EXPECT_EQ(font.handle(), held);
    EXPECT_TRUE(answerer.allAnswered());
}

} // namespace
