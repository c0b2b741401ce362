#include "AppFixture.h"

#include "resource.h"

namespace {

bool grayed(HMENU menu, UINT id) {
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

// Sets Ctrl in this thread's key state: as it was when the key message
// being handled was typed (what the accelerators and the loop read).
void setControlState(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// Presses or releases Ctrl, both for real (the key state GetAsyncKeyState
// reads, which SendInput sets at once) and in this thread's key state.
void holdControl(bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_CONTROL;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
    pumpMessages();
    setControlState(down);
}

bool controlHeld() {
    return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
}

TEST_F(AppTest, MenuItemsAreGreyedWhenTheyCannotApply) {
    start();
    HMENU menu = GetMenu(mainWindow());
    HMENU records = GetSubMenu(menu, 1);
    SendMessageA(mainWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(records), 1);
    EXPECT_TRUE(grayed(menu, IDM_REMOVE));
    EXPECT_TRUE(grayed(menu, IDM_REMOVE_ALL));
    EXPECT_TRUE(grayed(menu, IDM_SORT_ASCENDING));
    EXPECT_TRUE(grayed(menu, IDM_SORT_DESCENDING));
    EXPECT_FALSE(grayed(menu, IDM_ADD));

    openDatabase({{"a", ""}, {"b", ""}});
    SendMessageA(mainWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(records), 1);
    EXPECT_TRUE(grayed(menu, IDM_REMOVE)); // nothing selected after opening
    EXPECT_FALSE(grayed(menu, IDM_REMOVE_ALL));
    EXPECT_FALSE(grayed(menu, IDM_SORT_ASCENDING));
    EXPECT_FALSE(grayed(menu, IDM_SORT_DESCENDING));

    clickItem(1);
    SendMessageA(mainWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(menu, 0)), 0);
    EXPECT_FALSE(grayed(menu, IDM_REMOVE));
}

TEST_F(AppTest, TabInTheValueEditGoesToTheListUnlessCtrlWasDown) {
    start();
    command(IDM_ADD);
    SetFocus(valueEdit());
    pressKey(valueEdit(), VK_TAB);
    EXPECT_EQ(GetFocus(), list());

    // Ctrl was down when the Tab was typed, and is up on the keyboard now
    // that the program gets to the key.
    SetFocus(valueEdit());
    setControlState(true);
    pressKey(valueEdit(), VK_TAB);
    setControlState(false);
    EXPECT_FALSE(controlHeld());
    EXPECT_NE(GetFocus(), list());
}

TEST_F(AppTest, TabCyclesListNameAndValue) {
    start();
    openDatabase({{"name", "first line\r\nsecond line"}});
    clickItem(0);
    SetFocus(list());
    pressKey(list(), VK_TAB);
    EXPECT_EQ(GetFocus(), nameEdit());
    EXPECT_EQ(SendMessageA(nameEdit(), EM_GETSEL, 0, 0), MAKELRESULT(0, 4)); // typing replaces the name
    pressKey(nameEdit(), VK_TAB);
    EXPECT_EQ(GetFocus(), valueEdit());
    EXPECT_EQ(SendMessageA(valueEdit(), EM_GETSEL, 0, 0), 0); // the caret at the start, nothing selected
    pressKey(valueEdit(), VK_TAB);
    EXPECT_EQ(GetFocus(), list());
}

TEST_F(AppTest, AcceleratorsWorkFromTheEdits) {
    start();
    command(IDM_ADD);
    SetFocus(valueEdit());
    // Ctrl+Plus on the keypad, with Ctrl really held, from the Value edit.
    holdControl(true);
    pressKey(valueEdit(), VK_ADD);
    holdControl(false);
    EXPECT_EQ(recordNames(), (std::vector<std::string>{"New Record", "New Record"}));
}

TEST_F(AppTest, MessageLoopEndsWithExitCodeZeroAfterAConfirmedExit) {
    start();
    answers.thenPress(IDYES);
    PostMessageA(mainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app->messageLoop(), 0);
    EXPECT_TRUE(fileExists(settingsFile()));
}

} // namespace
