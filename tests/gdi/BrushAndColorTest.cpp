#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "ColorValue.h"
#include "GdiTestSupport.h"
#include "SolidBrush.h"
#include "support/Win32Test.h"

namespace {

HBRUSH stockBlackBrush() {
    return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
}

TEST(SolidBrush, HoldsItsColourAndDeletesReplacedBrushes) {
    HBRUSH first;
    HBRUSH second;
    {
        SolidBrush brush(RGB(10, 20, 30));
        first = brush.handle();
        EXPECT_NE(first, stockBlackBrush());
        EXPECT_EQ(brush.color(), RGB(10, 20, 30));
        EXPECT_TRUE(brush.create(RGB(200, 100, 0)));
        second = brush.handle();
        EXPECT_FALSE(isGdiObject(first));
        EXPECT_EQ(brush.color(), RGB(200, 100, 0));
    }
    EXPECT_FALSE(isGdiObject(second));
    EXPECT_TRUE(isGdiObject(stockBlackBrush()));
}

TEST(SolidBrush, FailedCreationKeepsWhatWasHeld) {
    SolidBrush brush(RGB(10, 20, 30));
    HBRUSH held = brush.handle();
    std::unique_ptr<SolidBrush> bornInFullTable;
    {
        GdiHandleFiller filler;
        ASSERT_TRUE(filler.full());
        EXPECT_FALSE(brush.create(RGB(200, 100, 0)));
        bornInFullTable = std::make_unique<SolidBrush>(RGB(200, 100, 0));
    }
    EXPECT_EQ(brush.handle(), held);
    EXPECT_EQ(brush.color(), RGB(10, 20, 30));
    EXPECT_EQ(bornInFullTable->handle(), stockBlackBrush());
}

// Controls of the colour dialog.
constexpr int redEdit = 706;
constexpr int greenEdit = 707;
constexpr int blueEdit = 708;
constexpr int addToCustomColors = 712;
constexpr int defineCustomColors = 719;

bool allBlack(const ColorValue& value) {
    const COLORREF* colors = value.customColors();
    return std::all_of(colors, colors + ColorValue::customColorCount, [](COLORREF c) { return c == 0; });
}

void pickColor(HWND dialog, int red, int green, int blue) {
    SetDlgItemInt(dialog, redEdit, red, FALSE);
    SetDlgItemInt(dialog, greenEdit, green, FALSE);
    SetDlgItemInt(dialog, blueEdit, blue, FALSE);
}

TEST(ColorValue, DialogOpensFullWithTheColourAndOkKeepsIt) {
    ColorValue value(RGB(86, 52, 18));
    std::string offered;
    bool expanded = false;
    DialogAnswerer answerer;
    answerer.then([&](HWND dialog) {
        offered = windowText(GetDlgItem(dialog, redEdit)) + "," + windowText(GetDlgItem(dialog, greenEdit)) + "," +
                  windowText(GetDlgItem(dialog, blueEdit));
        expanded = !IsWindowEnabled(GetDlgItem(dialog, defineCustomColors));
        pressButton(dialog, IDOK);
    });
    EXPECT_TRUE(value.choose(nullptr));
    EXPECT_EQ(offered, "86,52,18");
    EXPECT_TRUE(expanded);
    EXPECT_EQ(value.get(), RGB(86, 52, 18));
}

TEST(ColorValue, EachValueKeepsItsOwnCustomColours) {
    ColorValue text(RGB(0, 0, 0));
    ColorValue background(RGB(255, 255, 255));
    DialogAnswerer answerer;
    answerer.then([](HWND dialog) {
        pickColor(dialog, 10, 20, 30);
        pressButton(dialog, addToCustomColors);
        pressButton(dialog, IDOK);
    });
    answerer.thenPress(IDCANCEL);
    EXPECT_TRUE(text.choose(nullptr));
    EXPECT_EQ(text.get(), RGB(10, 20, 30));
    EXPECT_EQ(text.customColors()[0], RGB(10, 20, 30));
    EXPECT_TRUE(allBlack(background));

    EXPECT_FALSE(text.choose(nullptr));
    EXPECT_EQ(text.get(), RGB(10, 20, 30));
    EXPECT_EQ(text.customColors()[0], RGB(10, 20, 30));
    EXPECT_EQ(answerer.unexpected(), 0);
}

TEST(ColorValue, CancelChangesNothing) {
    ColorValue value(RGB(1, 2, 3));
    DialogAnswerer answerer;
    answerer.then([](HWND dialog) {
        pickColor(dialog, 200, 100, 50);
        pressButton(dialog, IDCANCEL);
    });
    EXPECT_FALSE(value.choose(nullptr));
    EXPECT_EQ(value.get(), RGB(1, 2, 3));
    EXPECT_EQ(answerer.unexpected(), 0);
}

} // namespace
