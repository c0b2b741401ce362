// Where the window is: its first size and splitter scaled to the screen's
// dots per inch, placed at start-up where the user left it (or where it can
// be seen, when that place is on no screen), followed as it moves and is
// sized, kept within reach, and stored with the splitter position at exit.
#include "App.h"

#include <algorithm>
#include <climits>

#include "ScreenScale.h"

namespace {

// The first window's client size, the splitter bar's width and its first
// position, in pixels at 96 dpi: the program is DPI aware, so it scales
// them to the screen itself.
constexpr int firstClientWidth = 400;
constexpr int firstClientHeight = 300;
constexpr int splitterBarWidth = 4;
constexpr int firstSplitterX = 200;

// The smallest window shows this many rows of the list, and strips of the
// list and of the panel this many scroll bars wide.
constexpr int fewListRows = 3;
constexpr int stripInScrollBars = 4;

// start + length, held within int whatever a garbled settings file holds.
LONG farEdge(int start, int length) {
    long long edge = static_cast<long long>(start) + length;
    return static_cast<LONG>(std::clamp<long long>(edge, INT_MIN, INT_MAX));
}

// A window of the rectangle's size, no larger than the primary monitor's
// work area, in the middle of it: where a window saved on a monitor that is
// gone (or garbled in "settings.txt") can be seen and reached again.
RECT centredOnPrimaryMonitor(const RECT& rect) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    LONG width = static_cast<LONG>(std::min<long long>(0LL + rect.right - rect.left, work.right - work.left));
    LONG height = static_cast<LONG>(std::min<long long>(0LL + rect.bottom - rect.top, work.bottom - work.top));
    LONG left = work.left + (work.right - work.left - width) / 2;
    LONG top = work.top + (work.bottom - work.top - height) / 2;
    return RECT{left, top, left + width, top + height};
}

} // namespace

// The window and the splitter as they first appear, grown with the screen's
// dots per inch. A window placement or splitter position from "settings.txt"
// was chosen on this screen and replaces them as it is, so this comes before
// the settings are read.
void App::applyFirstStartLayout() {
    ScreenScale scale;
    mainWindow.setClientSize(scale.pixels(firstClientWidth), scale.pixels(firstClientHeight));
    mainWindow.centerOnScreen();
    splitter.barWidth = scale.pixels(splitterBarWidth);
    settings.setSplitterX(scale.pixels(firstSplitterX));
}

// Placing the window sends WM_MOVE and WM_SIZE, which record the placement
// in the settings again, so all of it is read first.
void App::applySavedPlacement() {
    bool maximized = settings.windowMaximized();
    RECT placement = {settings.windowX(), settings.windowY(), farEdge(settings.windowX(), settings.windowWidth()),
                      farEdge(settings.windowY(), settings.windowHeight())};
    if (!MonitorFromRect(&placement, MONITOR_DEFAULTTONULL))
        placement = centredOnPrimaryMonitor(placement);
    SetWindowPos(mainWindow.hwnd, nullptr, placement.left, placement.top, placement.right - placement.left,
                 placement.bottom - placement.top, SWP_NOZORDER);
    ShowWindow(mainWindow.hwnd, maximized ? SW_SHOWMAXIMIZED : SW_SHOW);
    // When the placement was already the window's own, no size message came
    // to lay the panes out.
    splitter.layout();
    keepKeyboardFocus();
}

// The settings keep the last normal placement: a maximised or minimised
// window's position is never recorded.
void App::onMove() {
    if (IsZoomed(mainWindow.hwnd) || IsIconic(mainWindow.hwnd))
        return;
    recordPlacement(false);
}

// A size message tells whether the window is maximised; a restored window's
// placement is recorded with its size.
void App::recordWindowState(WPARAM sizeType) {
    if (sizeType == SIZE_MAXIMIZED) {
        settings.setWindowMaximized(true);
    } else if (sizeType == SIZE_RESTORED) {
        settings.setWindowMaximized(false);
        recordPlacement(true);
    }
}

void App::recordPlacement(bool withSize) {
    RECT r;
    GetWindowRect(mainWindow.hwnd, &r);
    settings.setWindowX(r.left);
    settings.setWindowY(r.top);
    if (!withSize)
        return;
    settings.setWindowWidth(r.right - r.left);
    settings.setWindowHeight(r.bottom - r.top);
}

// The window's placement is in the settings already, recorded as it
// changed; the splitter's position is taken at exit.
void App::storeSplitterPosition() {
    settings.setSplitterX(splitter.position);
}

// The smallest window still shows the menu bar in one line, a few rows of
// the list, the splitter bar and a strip of the panel: a window shrunk to
// its caption would be stored so at exit and come back so.
void App::onGetMinMaxInfo(MINMAXINFO& limits) const {
    if (!listBox.hwnd())
        return; // still being created
    int strip = stripInScrollBars * GetSystemMetrics(SM_CXVSCROLL);
    int listFrame = 2 * GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYHSCROLL);
    RECT client = {0, 0, std::max(strip + splitter.barWidth + strip, menuBarWidth()),
                   fewListRows * listBox.itemHeight() + listFrame};
    HWND window = mainWindow.hwnd;
    AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), GetMenu(window) != nullptr,
                       static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
    limits.ptMinTrackSize = POINT{client.right - client.left, client.bottom - client.top};
}

// The menu bar spans the client area's width and wraps its items into more
// lines when they do not fit.
int App::menuBarWidth() const {
    HMENU menu = GetMenu(mainWindow.hwnd);
    int width = 0;
    for (int item = 0; item < GetMenuItemCount(menu); ++item) {
        RECT rect;
        if (GetMenuItemRect(mainWindow.hwnd, menu, item, &rect))
            width += rect.right - rect.left;
    }
    return width;
}
