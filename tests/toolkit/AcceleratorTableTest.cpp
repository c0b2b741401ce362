#include "AcceleratorTable.h"

#include "support/Win32Test.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A main window with an edit control inside, as in the program: the edit
// has the focus and the commands must reach the main window.
class MainWindowWithEdit {
public:
    MainWindowWithEdit() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TabuloAcceleratorTest";
        RegisterClassA(&windowClass);
        main = CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               0, 0, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrA(main, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 20, main, nullptr,
                               windowClass.hInstance, nullptr);
    }
    ~MainWindowWithEdit() { DestroyWindow(main); }

    HWND main;
    HWND edit;
    std::vector<WPARAM> commands;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<MainWindowWithEdit*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == WM_COMMAND && lParam == 0)
            self->commands.push_back(wParam);
        return DefWindowProcA(window, message, wParam, lParam);
    }
};

// A key pressed with Alt arrives as a system key.
MSG keyDown(HWND target, UINT key, BYTE modifiers = 0) {
    MSG msg = {};
    msg.hwnd = target;
    msg.message = (modifiers & FALT) ? WM_SYSKEYDOWN : WM_KEYDOWN;
    msg.wParam = key;
    msg.lParam = 1 | (static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16);
    if (modifiers & FALT)
        msg.lParam |= 1 << 29;
    msg.time = GetTickCount();
    return msg;
}

struct Shortcut {
    BYTE modifiers;
    UINT key;
    WORD command;
};

const Shortcut shortcuts[] = {
    {FCONTROL, 'S', 10003}, {FCONTROL, 'O', 10013}, {FCONTROL, 'N', 10002}, {FCONTROL, 'A', 20000},
    {FCONTROL, VK_OEM_PLUS, 10006}, {FCONTROL, VK_ADD, 10006}, {FCONTROL | FSHIFT, VK_OEM_PLUS, 10006},
    {0, VK_F1, 10030}, {FALT, VK_UP, 10031},
    {FALT, VK_DOWN, 10032}, {FCONTROL, 'F', 10033}, {0, VK_F3, 10034}, {FSHIFT, VK_F3, 10035},
};

} // namespace

TEST(AcceleratorTable, KeysInTheFocusedChildBecomeCommandsOfTheMainWindow) {
    MainWindowWithEdit window;
    AcceleratorTable table;
    ASSERT_TRUE(table.create(mainAccelerators, mainAcceleratorCount));
    for (const Shortcut& shortcut : shortcuts) {
        SCOPED_TRACE(shortcut.key);
        window.commands.clear();
        ModifierKeys modifiers(shortcut.modifiers);
        MSG msg = keyDown(window.edit, shortcut.key, shortcut.modifiers);
        EXPECT_TRUE(table.translate(window.main, &msg));
        EXPECT_EQ(window.commands, std::vector<WPARAM>{MAKEWPARAM(shortcut.command, 1)});
    }
}

// Up and Down move the caret back and forth; F3 alone is a shortcut itself.
TEST(AcceleratorTable, KeysWithoutTheirCtrlOrAltAreNotShortcutsAndReachTheControl) {
    MainWindowWithEdit window;
    AcceleratorTable table;
    ASSERT_TRUE(table.create(mainAccelerators, mainAcceleratorCount));
    ModifierKeys none(0);
    for (const Shortcut& shortcut : shortcuts) {
        if (!(shortcut.modifiers & (FCONTROL | FALT)))
            continue;
        MSG msg = keyDown(window.edit, shortcut.key);
        EXPECT_FALSE(table.translate(window.main, &msg)) << shortcut.key;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    pumpMessages();
    EXPECT_TRUE(window.commands.empty());
    EXPECT_EQ(windowText(window.edit), "sona=+=f");
}

TEST(AcceleratorTable, RealCtrlSKeystrokesBecomeTheSaveCommandAndTypeNothing) {
    MainWindowWithEdit window;
    AcceleratorTable table;
    ASSERT_TRUE(table.create(mainAccelerators, mainAcceleratorCount));
    SetForegroundWindow(window.main);
    SetFocus(window.edit);
    pumpMessages();
    INPUT keys[4] = {};
    const WORD sequence[4][2] = {{VK_CONTROL, 0}, {'S', 0}, {'S', KEYEVENTF_KEYUP}, {VK_CONTROL, KEYEVENTF_KEYUP}};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = sequence[i][0];
        keys[i].ki.dwFlags = sequence[i][1];
    }
    ASSERT_EQ(SendInput(4, keys, sizeof(INPUT)), 4u);
    // The program's own loop: shortcuts first, everything else dispatched;
    // until the last key of the sequence has come through.
    bool released = false;
    DWORD start = GetTickCount();
    while (!released && GetTickCount() - start < 5000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            released |= msg.message == WM_KEYUP && msg.wParam == VK_CONTROL;
            if (!table.translate(window.main, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    ASSERT_TRUE(released);
    EXPECT_EQ(window.commands, std::vector<WPARAM>{MAKEWPARAM(10003, 1)});
    EXPECT_EQ(windowText(window.edit), "");
}

TEST(AcceleratorTable, FailedCreateLeavesNoTableAndNoShortcuts) {
    MainWindowWithEdit window;
    AcceleratorTable table;
    ASSERT_TRUE(table.create(mainAccelerators, mainAcceleratorCount));
    HACCEL first = table.handle();
    EXPECT_FALSE(table.create(mainAccelerators, 0));
    EXPECT_EQ(table.handle(), nullptr);
    EXPECT_EQ(CopyAcceleratorTableA(first, nullptr, 0), 0) << "the replaced table was not destroyed";

    ModifierKeys ctrl(FCONTROL);
    MSG msg = keyDown(window.edit, 'S');
    EXPECT_FALSE(table.translate(window.main, &msg));
    EXPECT_TRUE(window.commands.empty());
    EXPECT_FALSE(table.destroy());
}
