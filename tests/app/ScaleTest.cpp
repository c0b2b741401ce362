// The first window and the bar follow the screen's resolution, the Name edit
// the font (from "settings.txt"). A run checks the rows of its own screen's
// resolution; CI runs the table at 144 and 192 dpi too.
#include "AppFixture.h"

#include "ScreenScale.h"
#include "resource.h"
#include "support/SettingsFile.h"

namespace {

// A screen's dots per inch and a font size in points.
class ScaleTest : public AppTest, public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(ScaleTest, PanesFollowTheScreenAndTheNameEditTheFont) {
    auto [rowDpi, points] = GetParam();
    int dpi = ScreenScale().dpi();
    if (dpi != rowDpi)
        GTEST_SKIP() << "the screen has " << dpi << " dpi";
    ASSERT_TRUE(writeSettings(dir, {{"fontHeight", std::to_string(points)}}));
    start();
    RECT client;
    GetClientRect(mainWindow(), &client);
    HWND panel = app->recordDialog().hwnd();
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
    EXPECT_TRUE(points != 10 || growth == 0) << "the default font moves the panel's controls";
    EXPECT_EQ(name.top, dialogY(4));
    EXPECT_EQ(childRect(panel, GetDlgItem(panel, IDC_VALUE_LABEL)).top, dialogY(20) + growth);
    RECT panelClient;
    GetClientRect(panel, &panelClient);
    RECT value = childRect(panel, valueEdit());
    EXPECT_EQ(value.top, dialogY(36) + growth);
    EXPECT_EQ(value.bottom, panelClient.bottom - app->recordDialog().bottomMargin());

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

INSTANTIATE_TEST_SUITE_P(Scales, ScaleTest,
                         ::testing::Combine(::testing::Values(96, 144, 192), ::testing::Values(8, 10, 20, 36)),
                         [](const auto& info) {
                             return "Dpi" + std::to_string(std::get<0>(info.param)) + "Font" +
                                    std::to_string(std::get<1>(info.param));
                         });

} // namespace
