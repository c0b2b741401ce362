#include <gtest/gtest.h>

#include <vector>

#include "Window.h"
#include "resource.h"
#include "support/Win32Test.h"

namespace {

constexpr DWORD mainStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

// An owner that notes every message its window hands it and what its
// Window's handle was at that moment.
class Recorder {
public:
    struct Call {
        HWND hwnd;
        UINT message;
        HWND heldHandle;
    };

    explicit Recorder(Window& window) : window(window) {
        window.owner = this;
        window.callback = windowCallback<Recorder, &Recorder::onMessage>;
    }

    // The window, made before its recorder, is destroyed after it: its last
    // messages must not reach the recorder's freed list.
    ~Recorder() { window.owner = nullptr; }

    LRESULT onMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        calls.push_back({hwnd, message, window.hwnd});
        if (message == WM_USER)
            return 42;
        if (message == WM_CREATE && failCreate)
            return -1;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

    bool saw(UINT message, HWND hwnd) const {
        for (const Call& call : calls)
            if (call.message == message && call.hwnd == hwnd)
                return true;
        return false;
    }

    Window& window;
    std::vector<Call> calls;
    bool failCreate = false;
};

SIZE clientSize(HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    return {client.right, client.bottom};
}

RECT windowRect(HWND hwnd) {
    RECT bounds;
    GetWindowRect(hwnd, &bounds);
    return bounds;
}

void moveTo(HWND hwnd, int x, int y) {
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

TEST(Window, CallbackGetsEveryMessageAfterNcCreateWithTheHandleAlreadySet) {
    Window window;
    Recorder recorder(window);
    ASSERT_TRUE(window.create("Tabulo", nullptr, mainStyle, WS_EX_ACCEPTFILES));
    ASSERT_TRUE(IsWindow(window.hwnd));

    ASSERT_FALSE(recorder.calls.empty());
    EXPECT_FALSE(recorder.saw(WM_NCCREATE, window.hwnd));
    EXPECT_TRUE(recorder.saw(WM_NCCALCSIZE, window.hwnd));
    EXPECT_TRUE(recorder.saw(WM_CREATE, window.hwnd));
    for (const Recorder::Call& call : recorder.calls) {
        EXPECT_EQ(call.hwnd, window.hwnd);
        EXPECT_EQ(call.heldHandle, window.hwnd) << "message " << call.message;
    }
    // The creation messages come in before CreateWindowExA returns.
    EXPECT_EQ(recorder.calls.front().message, static_cast<UINT>(WM_NCCALCSIZE));

    EXPECT_EQ(SendMessageA(window.hwnd, WM_USER, 0, 0), 42);
    EXPECT_EQ(windowText(window.hwnd), "Tabulo");
}

TEST(Window, ClassHoldsTheProgramsIconCursorAndBackground) {
    Window window;
    ASSERT_TRUE(window.create("", nullptr, mainStyle, 0));
    WNDCLASSA windowClass = {};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "Velmora", &windowClass));
    EXPECT_EQ(windowClass.style, 0u);
    EXPECT_EQ(windowClass.lpfnWndProc, &Window::windowProc);
    EXPECT_EQ(windowClass.hIcon, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TABULO)));
    EXPECT_NE(windowClass.hIcon, nullptr);
    EXPECT_EQ(windowClass.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(windowClass.hbrBackground, GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(windowClass.lpszMenuName, nullptr);
}

TEST(Window, WithoutOwnerOrCallbackTheWindowBehavesAsADefaultWindow) {
    // Callback but no owner.
    Window ownerless;
    Recorder recorder(ownerless);
    ownerless.owner = nullptr;
    ASSERT_TRUE(ownerless.create("first", nullptr, mainStyle, 0));
    EXPECT_EQ(SendMessageA(ownerless.hwnd, WM_USER, 0, 0), 0);
    SendMessageA(ownerless.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("renamed"));
    EXPECT_EQ(windowText(ownerless.hwnd), "renamed");
    EXPECT_TRUE(recorder.calls.empty());

    // Owner but no callback: WM_CLOSE takes the default path, which
    // destroys the window.
    Window silent;
    int someOwner = 0;
    silent.owner = &someOwner;
    ASSERT_TRUE(silent.create("second", nullptr, mainStyle, 0));
    HWND closed = silent.hwnd;
    SendMessageA(closed, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(closed));
}

TEST(Window, SecondCreateDestroysTheFirstWindowAndReusesTheClass) {
    Window window;
    Recorder recorder(window);
    ASSERT_TRUE(window.create("one", nullptr, mainStyle, 0));
    HWND first = window.hwnd;

    ASSERT_TRUE(window.create("two", nullptr, mainStyle, 0));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(recorder.saw(WM_DESTROY, first));
    EXPECT_TRUE(recorder.saw(WM_NCDESTROY, first));
    EXPECT_TRUE(IsWindow(window.hwnd));
    EXPECT_NE(window.hwnd, first);
    EXPECT_EQ(windowText(window.hwnd), "two");
}

TEST(Window, DestroyAndDestructorDestroyTheWindowAndTellTheCallback) {
    Window window;
    Recorder recorder(window);
    ASSERT_TRUE(window.create("", nullptr, mainStyle, 0));
    HWND destroyed = window.hwnd;
    EXPECT_TRUE(window.destroy());
    EXPECT_EQ(window.hwnd, nullptr);
    EXPECT_FALSE(IsWindow(destroyed));
    EXPECT_TRUE(recorder.saw(WM_DESTROY, destroyed));
    EXPECT_FALSE(window.destroy());

    HWND scoped;
    {
        Window inner;
        ASSERT_TRUE(inner.create("", nullptr, mainStyle, 0));
        scoped = inner.hwnd;
    }
    EXPECT_FALSE(IsWindow(scoped));
}

TEST(Window, ForgetsAWindowThatWasDestroyedElsewhere) {
    Window window;
    Recorder recorder(window);
    ASSERT_TRUE(window.create("", nullptr, mainStyle, 0));
    HWND gone = window.hwnd;
    DestroyWindow(gone);
    EXPECT_TRUE(recorder.saw(WM_NCDESTROY, gone));
    EXPECT_EQ(window.hwnd, nullptr);
    EXPECT_FALSE(window.destroy());
    EXPECT_FALSE(window.setClientSize(400, 300));
}

TEST(Window, FailedCreationLeavesNoHandle) {
    Window window;
    Recorder recorder(window);
    recorder.failCreate = true;
    EXPECT_FALSE(window.create("", nullptr, mainStyle, 0));
    EXPECT_EQ(window.hwnd, nullptr);
}

TEST(Window, SetClientSizeGivesThatClientAreaAndKeepsThePosition) {
    Window window;
    ASSERT_TRUE(window.create("", nullptr, mainStyle, WS_EX_ACCEPTFILES));
    moveTo(window.hwnd, 30, 40);
    ASSERT_TRUE(window.setClientSize(400, 300));
    SIZE client = clientSize(window.hwnd);
    EXPECT_EQ(client.cx, 400);
    EXPECT_EQ(client.cy, 300);
    RECT bounds = windowRect(window.hwnd);
    EXPECT_EQ(bounds.left, 30);
    EXPECT_EQ(bounds.top, 40);

    Window unmade;
    EXPECT_FALSE(unmade.setClientSize(400, 300));
}

TEST(Window, SetClientSizeCountsOnlyAMenuBarAttachedBefore) {
    HMENU before = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINMENU));
    ASSERT_NE(before, nullptr);
    Window withMenu;
    ASSERT_TRUE(withMenu.create("", nullptr, mainStyle, 0));
    SetMenu(withMenu.hwnd, before);
    ASSERT_TRUE(withMenu.setClientSize(400, 300));
    EXPECT_EQ(clientSize(withMenu.hwnd).cy, 300);

    // The start-up order: sized first, the menu bar then takes its height
    // from the client area.
    HMENU after = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINMENU));
    Window menuAfter;
    ASSERT_TRUE(menuAfter.create("", nullptr, mainStyle, 0));
    ASSERT_TRUE(menuAfter.setClientSize(400, 300));
    SetMenu(menuAfter.hwnd, after);
    SIZE client = clientSize(menuAfter.hwnd);
    EXPECT_EQ(client.cx, 400);
    EXPECT_EQ(client.cy, 300 - GetSystemMetrics(SM_CYMENU));
}

TEST(Window, CenterOnScreenKeepsTheSizeWhereverTheWindowStarts) {
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    Window window;
    ASSERT_TRUE(window.create("", nullptr, mainStyle, 0));
    ASSERT_TRUE(window.setClientSize(400, 300));
    RECT sized = windowRect(window.hwnd);
    int width = sized.right - sized.left;
    int height = sized.bottom - sized.top;

    for (POINT start : {POINT{0, 0}, POINT{300, 200}}) {
        moveTo(window.hwnd, start.x, start.y);
        window.centerOnScreen();
        RECT centred = windowRect(window.hwnd);
        EXPECT_EQ(centred.left, (screenWidth - width) / 2) << "from " << start.x;
        EXPECT_EQ(centred.top, (screenHeight - height) / 2) << "from " << start.x;
        EXPECT_EQ(centred.right - centred.left, width);
        EXPECT_EQ(centred.bottom - centred.top, height);
    }

    Window unmade;
    unmade.centerOnScreen();
    EXPECT_EQ(unmade.hwnd, nullptr);
}

} // namespace
