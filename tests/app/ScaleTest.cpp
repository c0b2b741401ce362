// The first window and the bar follow the screen's resolution, the Name edit
// the font. Each row is a resolution and a font size from "settings.txt"; a
// run checks the rows of its own screen (CI runs it at 144 and 192 dpi too).
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
    RECT client;
    GetClientRect(mainWindow(), &client);
    HWND panel = app->recordPanel().hwnd();
    RECT listRect = childRect(mainWindow(), list());
    EXPECT_EQ(client.right, MulDiv(400, dpi, 96));
    EXPECT_EQ(listRect.right, MulDiv(200, dpi, 96));
    EXPECT_EQ(childRect(mainWindow(), panel).left - listRect.right, MulDiv(4, dpi, 96));

    // A line of the font shows whole in the Name edit. The rows below stand
    // as much lower as it grew beyond its template height, which it keeps
    // for every font that fits it.
    auto dialogY = [panel](int units) {
        RECT r = {0, units, 0, 0};
        MapDialogRect(panel, &r);
        return r.top;
    };
    RECT name = childRect(panel, nameEdit());
    RECT nameClient;
    GetClientRect(nameEdit(), &nameClient);
    int line = app->listFont().lineHeight();
    EXPECT_GE(nameClient.bottom, line);
    int growth = name.bottom - name.top - dialogY(12);
    EXPECT_EQ(growth > 0, line > dialogY(12) - (name.bottom - name.top - nameClient.bottom));
    EXPECT_TRUE(row.points != 10 || growth == 0) << "the default font moves the panel's controls";
    EXPECT_EQ(name.top, dialogY(4));
    EXPECT_EQ(childRect(panel, GetDlgItem(panel, IDC_VALUE_LABEL)).top, dialogY(20) + growth);
    RECT panelClient;
    GetClientRect(panel, &panelClient);
    RECT value = childRect(panel, valueEdit());
    EXPECT_EQ(value.top, dialogY(36) + growth);
    EXPECT_EQ(value.bottom, panelClient.bottom - app->recordPanel().bottomMargin());

    // No control leaves the panel or overlaps another.
    const int ids[] = {IDC_NAME_LABEL, IDC_NAME_EDIT, IDC_VALUE_LABEL, IDC_VALUE_EDIT};
    for (int i = 0; i < 4; ++i) {
        RECT control = childRect(panel, GetDlgItem(panel, ids[i]));
        RECT common;
        EXPECT_TRUE(IntersectRect(&common, &control, &panelClient) && EqualRect(&common, &control)) << ids[i];
        for (int j = 0; j < i; ++j) {
            RECT other = childRect(panel, GetDlgItem(panel, ids[j]));
            EXPECT_FALSE(IntersectRect(&common, &control, &other)) << ids[j] << " overlaps " << ids[i];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaleTest, ::testing::ValuesIn(rows),
                         [](const ::testing::TestParamInfo<ScaleRow>& info) { return info.param.name; });

} // namespace
