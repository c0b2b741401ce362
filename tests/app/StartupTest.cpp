#include "AppFixture.h"

#include <oleacc.h>

#include <tuple>

#include "resource.h"
#include "support/SettingsFile.h"

namespace {

RECT windowRect(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

RECT clientRect(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    return r;
}

// The outer size that a 400 x 300 client area needs without a menu bar.
SIZE firstWindowSize() {
    RECT r{0, 0, 400, 300};
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, FALSE, WS_EX_ACCEPTFILES);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

std::string faceName(HFONT font) {
    LOGFONTA lf = {};
    GetObjectA(font, sizeof lf, &lf);
    return lf.lfFaceName;
}

TEST_F(AppTest, FirstStartWithoutSettingsIsCentredWithTheDefaults) {
    start();
    SIZE size = firstWindowSize();
    int x = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
    RECT r = windowRect(mainWindow());
    EXPECT_EQ(r.left, x);
    EXPECT_EQ(r.top, y);
    EXPECT_EQ(r.right - r.left, size.cx);
    EXPECT_EQ(r.bottom - r.top, size.cy);
    EXPECT_TRUE(IsWindowVisible(mainWindow()));
    EXPECT_FALSE(IsZoomed(mainWindow()));
    // The menu bar came after the sizing, so it took its height from the client area.
    RECT client = clientRect(mainWindow());
    EXPECT_EQ(client.right, 400);
    EXPECT_LT(client.bottom, 300);
    EXPECT_NE(GetMenu(mainWindow()), nullptr);
    EXPECT_EQ(windowText(mainWindow()), "Tabulo 0.6 - Untitled");

    const Settings& settings = app->preferences();
    EXPECT_EQ(settings.windowX(), x);
    EXPECT_EQ(settings.windowY(), y);
    EXPECT_EQ(settings.windowWidth(), size.cx);
    EXPECT_EQ(settings.windowHeight(), size.cy);
    EXPECT_FALSE(settings.windowMaximized());

    EXPECT_EQ(app->splitterBar().position, 200);
    EXPECT_EQ(app->currentTextColor(), 0x000000u);
    EXPECT_EQ(app->currentBackgroundColor(), 0xFFFFFFu);
    EXPECT_EQ(app->listBrushColor(), 0xFFFFFFu);
    EXPECT_EQ(faceName(app->listFont().handle()), "Courier New");
    EXPECT_EQ(app->listFont().pointSize(), 10);
    EXPECT_FALSE(app->listFont().isBold());
    EXPECT_FALSE(app->listFont().isItalic());
    EXPECT_FALSE(fileExists(settingsFile()));
}

TEST_F(AppTest, BuildsTheListBoxAndThePanelSideBySide) {
    start();
    // The list box shows and hides its scroll bars, and their style bits with them.
    LONG scrollBars = WS_VSCROLL | WS_HSCROLL;
    EXPECT_EQ(GetWindowLongA(list(), GWL_STYLE) | scrollBars,
              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY);
    EXPECT_TRUE(GetWindowLongA(list(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(SendMessageA(list(), LB_GETHORIZONTALEXTENT, 0, 0), 800);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(list(), WM_GETFONT, 0, 0)), app->listFont().handle());
    EXPECT_NE(app->dragListMessageId(), 0u);
    EXPECT_EQ(app->dragListMessageId(), RegisterWindowMessageA("commctrl_DragListMsg"));
    EXPECT_EQ(GetWindowLongA(mainWindow(), GWL_STYLE) & (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN),
              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
    EXPECT_TRUE(GetWindowLongA(mainWindow(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    // List box left of the 4-pixel bar, panel right of it, both full height.
    RECT client = clientRect(mainWindow());
    RECT listRect = windowRect(list());
    RECT panelRect = windowRect(app->recordDialog().hwnd());
    MapWindowPoints(HWND_DESKTOP, mainWindow(), reinterpret_cast<POINT*>(&listRect), 2);
    MapWindowPoints(HWND_DESKTOP, mainWindow(), reinterpret_cast<POINT*>(&panelRect), 2);
    EXPECT_EQ(listRect.left, 0);
    EXPECT_EQ(listRect.right, 200);
    EXPECT_EQ(listRect.bottom, client.bottom);
    EXPECT_EQ(panelRect.left, 204);
    EXPECT_EQ(panelRect.right, client.right);
    EXPECT_EQ(panelRect.bottom, client.bottom);

    EXPECT_TRUE(IsWindowVisible(app->recordDialog().hwnd()));
    EXPECT_FALSE(IsWindowEnabled(nameEdit()));
    EXPECT_FALSE(IsWindowEnabled(valueEdit()));
    EXPECT_EQ(app->shownIndex(), -1);
    EXPECT_EQ(app->lastDragSource(), -1);
    EXPECT_EQ(app->contextMenuHandle(), GetSubMenu(GetMenu(mainWindow()), 1));
}

// What a screen reader hears for a control: its name, role and access key
// as the system's accessibility layer gives them.
using Heard = std::tuple<std::string, long, std::string>;

std::string narrowed(BSTR text) {
    char narrow[64] = {};
    if (text)
        WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
    SysFreeString(text);
    return narrow;
}

Heard heardFor(HWND control) {
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible))))
        return {"(no accessible object)", 0, ""};
    VARIANT self = {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    BSTR key = nullptr;
    VARIANT role = {};
    accessible->get_accName(self, &name);
    accessible->get_accRole(self, &role);
    accessible->get_accKeyboardShortcut(self, &key);
    accessible->Release();
    return {narrowed(name), role.vt == VT_I4 ? role.lVal : 0, narrowed(key)};
}

TEST_F(AppTest, AScreenReaderHearsEachFieldsNameAndKey) {
    start();
    EXPECT_EQ(heardFor(nameEdit()), Heard("Name:", ROLE_SYSTEM_TEXT, "Alt+N"));
    // The key as the label writes it.
    EXPECT_EQ(heardFor(valueEdit()), Heard("Value:", ROLE_SYSTEM_TEXT, "Alt+a"));
}

TEST_F(AppTest, StartsFromTheSavedSettings) {
    ASSERT_TRUE(writeSettings(dir, {{"color", "255"}, {"backgroundColor", "65280"}, {"fontName", "Arial"},
                                    {"fontHeight", "12"}, {"fontBold", "true"}, {"windowX", "50"}, {"windowY", "60"},
                                    {"windowWidth", "500"}, {"windowHeight", "400"}, {"splitterX", "150"}}));
    start();
    RECT r = windowRect(mainWindow());
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right - r.left, 500);
    EXPECT_EQ(r.bottom - r.top, 400);
    EXPECT_EQ(app->currentTextColor(), 255u);
    EXPECT_EQ(app->currentBackgroundColor(), 65280u);
    EXPECT_EQ(app->listBrushColor(), 65280u);
    EXPECT_EQ(faceName(app->listFont().handle()), "Arial");
    EXPECT_TRUE(app->listFont().isBold());
    EXPECT_EQ(app->splitterBar().position, 150);
    RECT listRect = windowRect(list());
    EXPECT_EQ(listRect.right - listRect.left, 150);
}

TEST_F(AppTest, OpensMaximisedAndRestoresToTheSavedPlacement) {
    ASSERT_TRUE(writeSettings(dir, {{"windowX", "40"}, {"windowY", "30"}, {"windowWidth", "420"},
                                    {"windowHeight", "310"}, {"windowMaximized", "true"}}));
    start();
    EXPECT_TRUE(IsZoomed(mainWindow()));
    EXPECT_TRUE(app->preferences().windowMaximized());
    ShowWindow(mainWindow(), SW_RESTORE);
    runLoop();
    RECT r = windowRect(mainWindow());
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right - r.left, 420);
    EXPECT_EQ(r.bottom - r.top, 310);
    EXPECT_FALSE(app->preferences().windowMaximized());
}

TEST_F(AppTest, AWindowSavedOffEveryScreenComesBackCentredOnThePrimaryOne) {
    ASSERT_TRUE(writeSettings(
        dir, {{"windowX", "-30000"}, {"windowY", "-30000"}, {"windowWidth", "5000"}, {"windowHeight", "300"}}));
    start();
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    RECT r = windowRect(mainWindow());
    EXPECT_EQ(r.left, work.left);
    EXPECT_EQ(r.right, work.right);
    EXPECT_EQ(r.top, work.top + (work.bottom - work.top - 300) / 2);
    EXPECT_EQ(r.bottom - r.top, 300);
    EXPECT_EQ(app->preferences().windowX(), work.left); // tracked as usual from here on
}

TEST_F(AppTest, ANegativeSplitterPositionStartsAtZeroWhereTheBarCanBeGrabbed) {
    ASSERT_TRUE(writeSettings(dir, {{"splitterX", "-50"}}));
    start();
    EXPECT_EQ(app->splitterBar().position, 0);
    SendMessageA(mainWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
    SendMessageA(mainWindow(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(120, 10));
    SendMessageA(mainWindow(), WM_LBUTTONUP, 0, MAKELPARAM(120, 10));
    EXPECT_EQ(app->splitterBar().position, 120);
}

TEST_F(AppTest, TheWindowShrinksNoFurtherThanWhatItMustShow) {
    start();
    SetWindowPos(mainWindow(), nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER);
    runLoop();
    HMENU menu = GetMenu(mainWindow());
    RECT first, last;
    GetMenuItemRect(mainWindow(), menu, 0, &first);
    GetMenuItemRect(mainWindow(), menu, GetMenuItemCount(menu) - 1, &last);
    EXPECT_EQ(first.top, last.top) << "the menu bar wraps";
    RECT listClient = clientRect(list());
    EXPECT_GT(listClient.right, 0);
    EXPECT_GE(listClient.bottom, 3 * SendMessageA(list(), LB_GETITEMHEIGHT, 0, 0));
}

TEST_F(AppTest, TracksTheLastNormalPlacement) {
    start();
    const Settings& settings = app->preferences();
    SetWindowPos(mainWindow(), nullptr, 100, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    runLoop();
    EXPECT_EQ(settings.windowX(), 100);
    EXPECT_EQ(settings.windowY(), 90);
    SetWindowPos(mainWindow(), nullptr, 0, 0, 450, 350, SWP_NOMOVE | SWP_NOZORDER);
    runLoop();
    EXPECT_EQ(settings.windowWidth(), 450);
    EXPECT_EQ(settings.windowHeight(), 350);

    ShowWindow(mainWindow(), SW_MAXIMIZE);
    runLoop();
    EXPECT_TRUE(settings.windowMaximized());
    EXPECT_EQ(settings.windowX(), 100);
    EXPECT_EQ(settings.windowWidth(), 450);

    ShowWindow(mainWindow(), SW_MINIMIZE); // minimising a maximised window keeps "maximised"
    runLoop();
    EXPECT_TRUE(settings.windowMaximized());
    EXPECT_EQ(settings.windowX(), 100);

    ShowWindow(mainWindow(), SW_RESTORE);
    runLoop();
    ShowWindow(mainWindow(), SW_RESTORE);
    runLoop();
    EXPECT_FALSE(IsZoomed(mainWindow()));
    EXPECT_FALSE(settings.windowMaximized());
    EXPECT_EQ(settings.windowX(), 100);
    EXPECT_EQ(settings.windowY(), 90);
    EXPECT_EQ(settings.windowWidth(), 450);

    ShowWindow(mainWindow(), SW_MINIMIZE); // minimising a normal window changes nothing
    runLoop();
    EXPECT_FALSE(settings.windowMaximized());
    EXPECT_EQ(settings.windowX(), 100);
    EXPECT_EQ(settings.windowWidth(), 450);
}

TEST_F(AppTest, CommandLineOpensOnlyTheFirstNonEmptyArgument) {
    start();
    std::string path = writeDatabase("first.txt", {{"one", "1"}, {"two", "2"}});
    std::string empty;
    char program[] = "tabulo.exe";
    char* noFile[] = {program, empty.data()};
    app->openCommandLine(2, noFile);
    EXPECT_EQ(windowText(mainWindow()), "Tabulo 0.6 - Untitled");

    std::string second = writeDatabase("second.txt", {{"other", ""}});
    char* twoFiles[] = {program, path.data(), second.data()};
    app->openCommandLine(3, twoFiles);
    EXPECT_EQ(windowText(mainWindow()), "Tabulo 0.6 - " + path);
    EXPECT_EQ(listItems(), (std::vector<std::string>{"one", "two"}));
}

TEST_F(AppTest, TheKeyboardWorksRightAfterStartUp) {
    start();
    std::string path = writeDatabase("first.txt", {{"one", "1"}, {"two", "2"}});
    char program[] = "tabulo.exe";
    char* arguments[] = {program, path.data()};
    app->openCommandLine(2, arguments);
    runLoop();
    ASSERT_EQ(GetFocus(), list());
    pressKey(list(), VK_DOWN);
    EXPECT_EQ(listSelection(), 0);
    EXPECT_EQ(windowText(nameEdit()), "one");
}

TEST_F(AppTest, CommandLineWithAMissingFileShowsThePath) {
    start();
    std::string missing = file("no such file.txt");
    char program[] = "tabulo.exe";
    char* arguments[] = {program, missing.data()};
    answers.thenPress(IDOK);
    app->openCommandLine(2, arguments);
    ASSERT_EQ(answers.seen().size(), 1u);
    EXPECT_EQ(answers.seen()[0].text, missing);
    EXPECT_EQ(answers.seen()[0].caption, "Error"); // the platform's default caption
    EXPECT_EQ(windowText(mainWindow()), "Tabulo 0.6 - Untitled");
    EXPECT_TRUE(listItems().empty());
}

} // namespace
