#include "AppFixture.h"

#include "resource.h"
#include "support/SettingsFile.h"

namespace {

// Controls of the colour and font dialogs.
constexpr int redEdit = 706;
constexpr int greenEdit = 707;
constexpr int blueEdit = 708;
constexpr int fontSizeBox = 0x472;

DialogAnswerer::Action pickColor(int red, int green, int blue) {
    return [=](HWND dialog) {
        SetDlgItemInt(dialog, redEdit, red, FALSE);
        SetDlgItemInt(dialog, greenEdit, green, FALSE);
        SetDlgItemInt(dialog, blueEdit, blue, FALSE);
        pressButton(dialog, IDOK);
    };
}

DialogAnswerer::Action pickFontSize(const char* size) {
    return [=](HWND dialog) {
        HWND sizes = GetDlgItem(dialog, fontSizeBox);
        SendMessageA(sizes, CB_SELECTSTRING, -1, reinterpret_cast<LPARAM>(size));
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(fontSizeBox, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
        pressButton(dialog, IDOK);
    };
}

// What a window answers when a control asks it for its colours.
struct Colours {
    COLORREF text;
    COLORREF background;
    COLORREF brush;
};

Colours coloursFor(HWND window, UINT message, HWND control) {
    HDC dc = CreateCompatibleDC(nullptr);
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(window, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    LOGBRUSH lb = {};
    GetObjectA(brush, sizeof lb, &lb);
    Colours colours{GetTextColor(dc), GetBkColor(dc), lb.lbColor};
    DeleteDC(dc);
    return colours;
}

LOGFONTA logFontOf(HWND window) {
    LOGFONTA lf = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf;
}

// The window's pixels as they are on the screen now, row by row.
std::vector<DWORD> pixelsOf(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC source = GetDC(window);
    HDC copy = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, r.right, r.bottom, source, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD* first = static_cast<const DWORD*>(bits);
    std::vector<DWORD> pixels(first, first + r.right * r.bottom);
    SelectObject(copy, previous);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(window, source);
    return pixels;
}

TEST_F(AppTest, ThePanelRepaintsWholeAfterASplitterDrag) {
    start();
    openDatabase({{"name", "value"}});
    clickItem(0);
    SetFocus(list()); // no caret blinking in the panel
    int from = app->splitterBar().position + 1;
    SendMessageA(mainWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from, 10));
    SendMessageA(mainWindow(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from + 40, 10));
    SendMessageA(mainWindow(), WM_LBUTTONUP, 0, MAKELPARAM(from + 40, 10));
    RedrawWindow(mainWindow(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    runLoop();
    HWND panel = app->recordDialog().hwnd();
    std::vector<DWORD> afterDrag = pixelsOf(panel);
    RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    runLoop();
    EXPECT_TRUE(afterDrag == pixelsOf(panel)) << "the panel shows pixels from before the drag";
}

TEST_F(AppTest, TextColourReachesTheListAndTheEdits) {
    start();
    command(IDM_ADD);
    answers.then(pickColor(200, 10, 20));
    command(IDM_TEXT_COLOR);
    EXPECT_EQ(app->currentTextColor(), RGB(200, 10, 20));
    Colours list = coloursFor(mainWindow(), WM_CTLCOLORLISTBOX, this->list());
    EXPECT_EQ(list.text, RGB(200, 10, 20));
    EXPECT_EQ(list.background, RGB(255, 255, 255));
    Colours edit = coloursFor(app->recordDialog().hwnd(), WM_CTLCOLOREDIT, valueEdit());
    EXPECT_EQ(edit.text, RGB(200, 10, 20));

    answers.thenPress(IDCANCEL);
    command(IDM_TEXT_COLOR);
    EXPECT_EQ(app->currentTextColor(), RGB(200, 10, 20));
}

TEST_F(AppTest, BackgroundColourReachesTheListAndTheEdits) {
    start();
    answers.then(pickColor(0, 0, 128));
    command(IDM_BACKGROUND_COLOR);
    EXPECT_EQ(app->currentBackgroundColor(), RGB(0, 0, 128));
    EXPECT_EQ(app->listBrushColor(), RGB(0, 0, 128));
    Colours list = coloursFor(mainWindow(), WM_CTLCOLORLISTBOX, this->list());
    EXPECT_EQ(list.background, RGB(0, 0, 128));
    EXPECT_EQ(list.brush, RGB(0, 0, 128));
    Colours edit = coloursFor(app->recordDialog().hwnd(), WM_CTLCOLOREDIT, valueEdit());
    EXPECT_EQ(edit.background, RGB(0, 0, 128));
    EXPECT_EQ(edit.brush, RGB(0, 0, 128));
}

TEST_F(AppTest, FontGoesToTheListAndACopyToThePanel) {
    start();
    answers.then(pickFontSize("20"));
    command(IDM_FONT);
    EXPECT_EQ(app->listFont().pointSize(), 20);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(list(), WM_GETFONT, 0, 0)), app->listFont().handle());
    HFONT panelFont = reinterpret_cast<HFONT>(SendMessageA(valueEdit(), WM_GETFONT, 0, 0));
    EXPECT_NE(panelFont, app->listFont().handle());
    EXPECT_EQ(logFontOf(valueEdit()).lfHeight, logFontOf(list()).lfHeight);
    EXPECT_EQ(logFontOf(nameEdit()).lfHeight, logFontOf(list()).lfHeight);

    answers.thenPress(IDCANCEL);
    command(IDM_FONT);
    EXPECT_EQ(app->listFont().pointSize(), 20);
}

// Switched off, from a start that had it on, with an edit pending.
TEST_F(AppTest, WordWrapIsCheckedInTheViewMenuAndKeptAtExit) {
    ASSERT_TRUE(writeSettings(dir, {{"wordWrap", "true"}}));
    start();
    auto checked = [&] { return (GetMenuState(GetMenu(mainWindow()), IDM_WORD_WRAP, 0) & MF_CHECKED) != 0; };
    EXPECT_TRUE(app->recordDialog().wordWrap() && checked() && !IsWindowEnabled(valueEdit()));
    openDatabase({{"a", "value"}, {"b", ""}});
    clickItem(0);
    SetFocus(valueEdit());
    type(valueEdit(), "new ");
    command(IDM_WORD_WRAP);
    EXPECT_FALSE(app->recordDialog().wordWrap() || checked());
    EXPECT_EQ(app->recordList().at(0).value(), "value");
    type(valueEdit(), "!");
    clickItem(1);
    EXPECT_EQ(app->recordList().at(0).value(), "new !value");
    answers.thenPress(IDYES);
    command(IDM_EXIT);
    EXPECT_EQ(readBytes(settingsFile()).find("wordWrap"), std::string::npos);
}

TEST_F(AppTest, ChosenColoursAndFontAreSavedAtExit) {
    start();
    answers.then(pickColor(1, 2, 3));
    command(IDM_TEXT_COLOR);
    answers.then(pickColor(4, 5, 6));
    command(IDM_BACKGROUND_COLOR);
    answers.then(pickFontSize("20"));
    command(IDM_FONT);
    answers.thenPress(IDYES);
    command(IDM_EXIT);
    std::string saved = readBytes(settingsFile());
    EXPECT_NE(saved.find("{color=" + std::to_string(RGB(1, 2, 3)) + "}"), std::string::npos) << saved;
    EXPECT_NE(saved.find("{backgroundColor=" + std::to_string(RGB(4, 5, 6)) + "}"), std::string::npos);
    EXPECT_NE(saved.find("{fontHeight=20}"), std::string::npos);
}

} // namespace
