#include "support/Win32Test.h"

#include <algorithm>
#include <iterator>

namespace {

thread_local DialogAnswerer* activeAnswerer = nullptr;

bool isDialog(HWND window) {
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    return std::string(className) == "#32770";
}

// Message boxes hold their message in a static control with this id.
constexpr int messageBoxTextId = 0xFFFF;

} // namespace

void pumpMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMilliseconds) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMilliseconds)
            return false;
        pumpMessages(10);
    }
    return true;
}

bool movePointerTo(POINT point) {
    SetCursorPos(point.x, point.y);
    // Under Wine the process of the desktop window passes the X server's
    // report of each move on as mouse input, and a late report of an earlier
    // move would put the pointer back there for a while. It answers a message
    // only after the reports that are waiting.
    SendMessageTimeoutA(GetDesktopWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
    return pumpUntil([point] {
        POINT at;
        GetCursorPos(&at);
        return at.x == point.x && at.y == point.y;
    });
}

std::string windowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(length + 1, '\0');
    int got = GetWindowTextA(window, text.data(), length + 1);
    text.resize(got);
    return text;
}

RECT childRect(HWND parent, HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void pressButton(HWND dialog, int buttonId) {
    HWND button = GetDlgItem(dialog, buttonId);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

DialogAnswerer::DialogAnswerer() {
    activeAnswerer = this;
    hook_ = SetWindowsHookExA(WH_CBT, hookProc, nullptr, GetCurrentThreadId());
}

DialogAnswerer::~DialogAnswerer() {
    UnhookWindowsHookEx(hook_);
    activeAnswerer = nullptr;
}

void DialogAnswerer::then(Action action) {
    actions_.push_back(std::move(action));
}

void DialogAnswerer::thenPress(int buttonId) {
    then([buttonId](HWND dialog) { pressButton(dialog, buttonId); });
}

void DialogAnswerer::reset() {
    actions_.clear();
    seen_.clear();
    unexpected_ = 0;
}

LRESULT CALLBACK DialogAnswerer::hookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && activeAnswerer)
        activeAnswerer->onActivate(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogAnswerer::onActivate(HWND window) {
    if (!isDialog(window) || std::find(known_.begin(), known_.end(), window) != known_.end())
        return;
    known_.push_back(window);
    pending_.push_back(window);
    SetTimer(nullptr, 0, 20, timerProc);
}

void CALLBACK DialogAnswerer::timerProc(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (activeAnswerer)
        activeAnswerer->runPending();
}

void DialogAnswerer::runPending() {
    std::vector<HWND> dialogs;
    dialogs.swap(pending_);
    for (HWND dialog : dialogs) {
        if (!IsWindow(dialog))
            continue;
        seen_.push_back({windowText(dialog), windowText(GetDlgItem(dialog, messageBoxTextId))});
        if (actions_.empty()) {
            ++unexpected_;
            pressButton(dialog, GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : GetDlgItem(dialog, IDNO) ? IDNO : IDOK);
            continue;
        }
        Action action = std::move(actions_.front());
        actions_.pop_front();
        action(dialog);
    }
}

ModifierKeys::ModifierKeys(BYTE down) {
    GetKeyboardState(saved_);
    BYTE state[256];
    std::copy(std::begin(saved_), std::end(saved_), state);
    state[VK_CONTROL] = (down & FCONTROL) ? 0x80 : 0;
    state[VK_MENU] = (down & FALT) ? 0x80 : 0;
    state[VK_SHIFT] = (down & FSHIFT) ? 0x80 : 0;
    SetKeyboardState(state);
}

ModifierKeys::~ModifierKeys() {
    SetKeyboardState(saved_);
}

// A window that never reads its messages lets the sender go after a while,
// so that the test fails rather than hangs.
MessageFromAnotherThread::MessageFromAnotherThread(HWND window, UINT message)
    : thread_([this, window, message] {
          DWORD_PTR result;
          SendMessageTimeoutA(window, message, 0, 0, SMTO_NORMAL, 20000, &result);
          answered_ = true;
      }) {
    while (!answered_ && !(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE))
        Sleep(1);
}

MessageFromAnotherThread::~MessageFromAnotherThread() {
    pumpUntil([this] { return answered_.load(); }, 30000);
    thread_.join();
}
