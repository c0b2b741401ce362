#include "AppFixture.h"

#include "resource.h"

namespace {

bool grayed(HMENU menu, UINT id) {
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

// Presses or releases Ctrl, both for real (the key state GetAsyncKeyState
// reads, which SendInput sets at once) and in this thread's key state
// (which the accelerators read).
void holdControl(bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_CONTROL;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
    pumpMessages();
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
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

TEST_F(AppTest, TabInTheValueEditGoesToTheListUnlessCtrlIsDown) {
    start();
    command(IDM_ADD);
    SetFocus(valueEdit());
    pressKey(valueEdit(), VK_TAB);
    EXPECT_EQ(GetFocus(), list());

    // Under Wine the key states of the X server overwrite the ones that
    // SendInput set when X gives the window the input focus, a moment after
    // it shows. Ctrl still held after the key shows that it was held while
    // the key was handled; a press whose Ctrl was let go is tried again.
    bool held = false;
    for (int attempt = 0; attempt < 3 && !held; ++attempt) {
        SetFocus(valueEdit());
        holdControl(true);
        pressKey(valueEdit(), VK_TAB);
        held = controlHeld();
        holdControl(false);
    }
    ASSERT_TRUE(held);
    EXPECT_NE(GetFocus(), list());
}

TEST_F(AppTest, TabCyclesListNameAndValue) {
    start();
    command(IDM_ADD);
    SetFocus(list());
    pressKey(list(), VK_TAB);
    EXPECT_EQ(GetFocus(), nameEdit());
    pressKey(nameEdit(), VK_TAB);
    EXPECT_EQ(GetFocus(), valueEdit());
    pressKey(valueEdit(), VK_TAB);
    EXPECT_EQ(GetFocus(), list());
}

TEST_F(AppTest, DeleteInTheListRemovesOnlyWithASelectionAndAYes) {
    start();
    openDatabase({{"a", ""}, {"b", ""}});
    SetFocus(list());
    pressKey(list(), VK_DELETE); // nothing selected: no question at all
    EXPECT_TRUE(answers.seen().empty());
    EXPECT_EQ(listItems().size(), 2u);

    clickItem(0);
    answers.thenPress(IDNO);
    pressKey(list(), VK_DELETE);
    ASSERT_EQ(answers.seen().size(), 1u);
    EXPECT_EQ(answers.seen()[0].caption, "Confirm");
    EXPECT_EQ(answers.seen()[0].text, "Remove the selected record?");
    EXPECT_EQ(recordNames(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(listSelection(), 0); // the key never reached the list box

    answers.thenPress(IDYES);
    pressKey(list(), VK_DELETE);
    EXPECT_EQ(recordNames(), (std::vector<std::string>{"b"}));
    EXPECT_EQ(listItems(), (std::vector<std::string>{"b"}));
    EXPECT_EQ(app->shownIndex(), -1);
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

TEST_F(AppTest, ExitAnsweredNoChangesNothing) {
    start();
    answers.thenPress(IDNO);
    SendMessageA(mainWindow(), WM_CLOSE, 0, 0);
    ASSERT_EQ(answers.seen().size(), 1u);
    EXPECT_EQ(answers.seen()[0].caption, "Confirm");
    EXPECT_EQ(answers.seen()[0].text, "Are you sure you wish to exit?");
    runLoop();
    EXPECT_TRUE(IsWindowVisible(mainWindow()));
    EXPECT_FALSE(fileExists(settingsFile()));
    EXPECT_FALSE(quitPosted);
}

TEST_F(AppTest, ExitAnsweredYesSavesThePreferencesButNotTheDatabase) {
    start();
    std::string database = writeDatabase("db.txt", {{"a", "1"}});
    ASSERT_TRUE(app->openFile(database));
    command(IDM_ADD);
    SetWindowPos(mainWindow(), nullptr, 10, 20, 500, 450, SWP_NOZORDER);
    runLoop();
    answers.thenPress(IDYES);
    command(IDM_EXIT);
    EXPECT_TRUE(quitPosted);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(readBytes(database), "{a=1}\r\n");

    char expected[512];
    std::snprintf(expected, sizeof expected,
                  "{color=0}\r\n{backgroundColor=16777215}\r\n{fontName=Courier New}\r\n{fontHeight=10}\r\n"
                  "{fontBold=false}\r\n{fontItalic=false}\r\n{windowX=10}\r\n{windowY=20}\r\n"
                  "{windowWidth=500}\r\n{windowHeight=450}\r\n{windowMaximized=false}\r\n{splitterX=200}\r\n");
    EXPECT_EQ(readBytes(settingsFile()), expected);
}

TEST_F(AppTest, MessageLoopEndsWithExitCodeZeroAfterAConfirmedExit) {
    start();
    answers.thenPress(IDYES);
    PostMessageA(mainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app->messageLoop(), 0);
    EXPECT_TRUE(fileExists(settingsFile()));
}

} // namespace
