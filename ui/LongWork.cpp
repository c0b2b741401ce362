#include "LongWork.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "ScreenScale.h"

namespace {

// The bar moves in steps of a thousandth.
constexpr int barRange = 1000;
constexpr int barHeightAt96Dpi = 16;
// The bar repaints itself at once as it moves, which takes a few
// milliseconds: a few steps a second look smooth enough.
constexpr ULONGLONG barStepEvery = 200;
// A window that never validates its paint would be painted again and again:
// a pause reads at most this many messages, and the work goes on.
constexpr int messagesPerPause = 100;

bool isInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// The frame's buttons track the mouse by themselves, reading nothing else,
// and then send their command to the window.
bool isFrameButton(WPARAM hit) {
    return hit == HTMINBUTTON || hit == HTMAXBUTTON || hit == HTCLOSE;
}

} // namespace

LongWork::Timing LongWork::timing;

LongWork::LongWork(HWND window) : window_(window), started_(GetTickCount64()), lastPause_(started_) {
    SetWindowSubclass(window_, windowProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
}

// A quit read meanwhile ends the program without a question; a close asked
// for is asked again, now that the work is done.
LongWork::~LongWork() {
    RemoveWindowSubclass(window_, windowProc, reinterpret_cast<UINT_PTR>(this));
    taskbar_.reset();
    if (bar_)
        DestroyWindow(bar_);
    if (quitSeen_)
        PostQuitMessage(static_cast<int>(exitCode_));
    else if (closeAsked_)
        PostMessageA(window_, WM_CLOSE, 0, 0);
}

std::function<void(std::uint64_t, std::uint64_t)> LongWork::part(double share) {
    double start = partsEnd_;
    partsEnd_ += share;
    return [this, start, share](std::uint64_t done, std::uint64_t total) {
        advance(start + share * (total == 0 ? 1.0 : static_cast<double>(done) / static_cast<double>(total)));
    };
}

// Called for every step of the work, so it does nothing most of the time.
void LongWork::advance(double fraction) {
    ULONGLONG now = GetTickCount64();
    if (now - lastPause_ < timing.pauseEvery)
        return;
    if (!bar_ && now - started_ >= timing.showBarAfter)
        showBar();
    int position = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * barRange);
    if (bar_ && position != shown_ && now - barMoved_ >= barStepEvery) {
        SendMessageA(bar_, PBM_SETPOS, position, 0);
        taskbar_->show(position, barRange);
        shown_ = position;
        barMoved_ = now;
    }
    pause();
    lastPause_ = GetTickCount64();
}

// Reading the messages also handles those sent to the thread's windows,
// before any that were posted.
void LongWork::pause() {
    MSG msg;
    for (int read = 0; read < messagesPerPause && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++read) {
        if (msg.message == WM_QUIT) {
            quitSeen_ = true;
            exitCode_ = msg.wParam;
        } else if (!dropsUnread(msg)) {
            DispatchMessageA(&msg);
        }
    }
}

// Keys and the mouse, but for a press on a button of the window's frame;
// Alt+F4 in the window asks to close it.
bool LongWork::dropsUnread(const MSG& msg) {
    if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F4 && GetAncestor(msg.hwnd, GA_ROOT) == window_)
        closeAsked_ = true;
    if (msg.message == WM_NCLBUTTONDOWN && msg.hwnd == window_ && isFrameButton(msg.wParam))
        return false;
    return isInput(msg.message);
}

// The window's own messages while the work runs: commands, dropped files
// and the system menu wait with the input, but for minimising, maximising
// and restoring; a close is noted.
LRESULT CALLBACK LongWork::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self) {
    LongWork& work = *reinterpret_cast<LongWork*>(self);
    switch (message) {
    case WM_CLOSE:
        work.closeAsked_ = true;
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
        case SC_MAXIMIZE:
        case SC_RESTORE:
            break;
        case SC_CLOSE:
            work.closeAsked_ = true;
            return 0;
        default:
            return 0;
        }
        break;
    case WM_COMMAND:
    case WM_CONTEXTMENU:
        return 0;
    case WM_DROPFILES:
        DragFinish(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_SETCURSOR:
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        return TRUE;
    case WM_SIZE: {
        LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        if (work.bar_)
            work.placeBar();
        return result;
    }
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void LongWork::showBar() {
    bar_ = CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD, 0, 0, 0, 0, window_, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    if (!bar_)
        return;
    SendMessageA(bar_, PBM_SETRANGE32, 0, barRange);
    placeBar();
    ShowWindow(bar_, SW_SHOWNA);
    taskbar_ = std::make_unique<TaskbarProgress>(window_);
}

// Along the bottom of the client area, over the panes.
void LongWork::placeBar() {
    RECT client;
    GetClientRect(window_, &client);
    int height = ScreenScale().pixels(barHeightAt96Dpi);
    SetWindowPos(bar_, HWND_TOP, 0, client.bottom - height, client.right, height, SWP_NOACTIVATE);
}
