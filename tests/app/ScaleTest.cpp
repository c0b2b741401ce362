// The first window, the panes and the bar follow the screen's resolution,
// and the record panel makes room for the user's font. Each row is a screen
// resolution and a font size from "settings.txt"; a run checks the rows of
// its own screen (CI runs this table again in prefixes at 144 and 192 dpi).
#include "AppFixture.h"

#include "ScreenScale.h"
#include "resource.h"
#include "support/SettingsFile.h"

namespace {

struct ScaleRow {
    const char* name;
    int dpi;
    int points;
};

class ScaleTest : public AppTest, public ::testing::WithParamInterface<ScaleRow> {};

// A control of the panel's template (place and size in dialog units) in
// pixels, converted as the dialog manager converts it.
RECT templateRect(HWND panel, int x, int y, int width, int height) {
    RECT r = {x, y, width, height};
    MapDialogRect(panel, &r);
    return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
}

// The height of a line of the window's font.
int lineHeightIn(HWND window) {
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return metrics.tmHeight;
}

const ScaleRow rows[] = {
    {"Dpi96Font8", 96, 8},     {"Dpi96Font10", 96, 10},   {"Dpi96Font20", 96, 20},   {"Dpi96Font36", 96, 36},
    {"Dpi144Font8", 144, 8},   {"Dpi144Font10", 144, 10}, {"Dpi144Font20", 144, 20}, {"Dpi144Font36", 144, 36},
    {"Dpi192Font8", 192, 8},   {"Dpi192Font10", 192, 10}, {"Dpi192Font20", 192, 20}, {"Dpi192Font36", 192, 36},
};

TEST_P(ScaleTest, PanesFollowTheScreenAndTheNameEditTheFont) {
    const ScaleRow& row = GetParam();
    int dpi = ScreenScale().dpi();
    if (dpi != row.dpi)
        GTEST_SKIP() << "the screen has " << dpi << " dpi";
    ASSERT_TRUE(writeSettings(dir, {{"fontHeight", std::to_string(row.points)}}));
    start();
    auto scaled = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };

    // A 400 x 300 client area at 96 dpi, before the menu bar took its part.
    RECT first = {0, 0, scaled(400), scaled(300)};
    AdjustWindowRectEx(&first, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, FALSE, WS_EX_ACCEPTFILES);
    RECT window, client;
    GetWindowRect(mainWindow(), &window);
    GetClientRect(mainWindow(), &client);
    EXPECT_EQ(window.right - window.left, first.right - first.left);
    EXPECT_EQ(window.bottom - window.top, first.bottom - first.top);
    EXPECT_EQ(client.right, scaled(400));

    // The list up to the bar at 200, the bar 4 wide (its last pixel still
    // grabs it), the panel to the right edge.
    HWND panel = app->recordPanel().hwnd();
    RECT listRect = childRect(mainWindow(), list());
    RECT panelRect = childRect(mainWindow(), panel);
    EXPECT_EQ(listRect.right, scaled(200));
    EXPECT_EQ(panelRect.left - listRect.right, scaled(4));
    EXPECT_EQ(panelRect.right, client.right);
    int lastBarPixel = panelRect.left - 1;
    SendMessageA(mainWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(lastBarPixel, 10));
    SendMessageA(mainWindow(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(lastBarPixel + 30, 10));
    SendMessageA(mainWindow(), WM_LBUTTONUP, 0, MAKELPARAM(lastBarPixel + 30, 10));
    EXPECT_EQ(app->splitterBar().position, lastBarPixel + 30);

    // The Name edit shows a line of its font whole; when the template's
    // height does that already, nothing moves.
    const int ids[] = {IDC_NAME_LABEL, IDC_NAME_EDIT, IDC_VALUE_LABEL, IDC_VALUE_EDIT};
    RECT at[4];
    for (int i = 0; i < 4; ++i)
        at[i] = childRect(panel, GetDlgItem(panel, ids[i]));
    const RECT& name = at[1];
    RECT nameClient;
    GetClientRect(nameEdit(), &nameClient);
    int line = lineHeightIn(nameEdit());
    int borders = (name.bottom - name.top) - nameClient.bottom;
    EXPECT_GE(name.bottom - name.top, line + borders);
    RECT nameTemplate = templateRect(panel, 32, 4, 164, 12);
    int growth = (name.bottom - name.top) - (nameTemplate.bottom - nameTemplate.top);
    EXPECT_EQ(growth > 0, line > nameTemplate.bottom - nameTemplate.top - borders);
    if (row.points == 10) {
        EXPECT_EQ(growth, 0) << "the default font moves the panel's controls";
    }

    // Value label and Value edit lower by as much, the Value edit still down
    // to the bottom margin; no control overlaps another or leaves the panel.
    EXPECT_EQ(name.top, nameTemplate.top);
    EXPECT_EQ(at[2].top, templateRect(panel, 4, 20, 24, 12).top + growth);
    EXPECT_EQ(at[3].top, templateRect(panel, 4, 36, 280, 112).top + growth);
    RECT panelClient;
    GetClientRect(panel, &panelClient);
    EXPECT_EQ(at[3].bottom, panelClient.bottom - app->recordPanel().bottomMargin());
    for (int i = 0; i < 4; ++i) {
        RECT inside;
        EXPECT_TRUE(IntersectRect(&inside, &at[i], &panelClient) && EqualRect(&inside, &at[i])) << ids[i];
        for (int j = 0; j < i; ++j)
            EXPECT_FALSE(IntersectRect(&inside, &at[i], &at[j])) << ids[j] << " and " << ids[i] << " overlap";
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaleTest, ::testing::ValuesIn(rows),
                         [](const ::testing::TestParamInfo<ScaleRow>& info) { return info.param.name; });

} // namespace
