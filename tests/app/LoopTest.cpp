#include "AppFixture.h"

#include "resource.h"

namespace {

bool controlHeld() {
    return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
}

TEST_F(AppTest, MenuItemsAreGreyedWhenTheyCannotApply) {
    start();
    HMENU menu = GetMenu(mainWindow());
    HMENU records = GetSubMenu(menu, 1);
    SendMessageA(mainWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(records), 1);
    EXPECT_TRUE(greyed(IDM_REMOVE));
    EXPECT_TRUE(greyed(IDM_REMOVE_ALL));
    EXPECT_TRUE(greyed(IDM_SORT_ASCENDING));
    EXPECT_TRUE(greyed(IDM_SORT_DESCENDING));
    EXPECT_FALSE(greyed(IDM_ADD));

    openDatabase({{"a", ""}, {"b", ""}});
    SendMessageA(mainWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(records), 1);
    EXPECT_TRUE(greyed(IDM_REMOVE)); // nothing selected after opening
    EXPECT_FALSE(greyed(IDM_REMOVE_ALL));
    EXPECT_FALSE(greyed(IDM_SORT_ASCENDING));
    EXPECT_FALSE(greyed(IDM_SORT_DESCENDING));

    clickItem(1);
    SendMessageA(mainWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(menu, 0)), 0);
    EXPECT_FALSE(greyed(IDM_REMOVE));
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
    pressKey(valueEdit(), VK_TAB, FCONTROL);
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
    // Ctrl+Plus on the keypad, from the Value edit.
    pressKey(valueEdit(), VK_ADD, FCONTROL);
    EXPECT_EQ(recordNames(), (std::vector<std::string>{"New Record", "New Record"}));
}

// Runs again under code page 932 (app_tests_cp932), where "\x83\x41" is
// one character, typed as one.
TEST_F(AppTest, TypedCharactersArriveWholeOnADoubleByteCodePage) {
    if (!IsDBCSLeadByte(0x83))
        GTEST_SKIP() << "a single-byte code page";
    start();
    command(IDM_ADD);
    answers.then([](HWND) {}); // the Find box stays open
    command(IDM_FIND);
    ASSERT_TRUE(pumpUntil([this] { return answers.allAnswered(); }));
    HWND findWhat = GetDlgItem(app->findBoxHandle(), 0x480);
    for (HWND edit : {valueEdit(), findWhat})
        PostMessageW(edit, WM_CHAR, 0x30A2, 1);
    PostQuitMessage(0);
    EXPECT_EQ(app->messageLoop(), 0);
    EXPECT_EQ(windowText(valueEdit()), "\x83\x41");
    EXPECT_EQ(windowText(findWhat), "\x83\x41");
}

TEST_F(AppTest, MessageLoopEndsWithExitCodeZeroAfterAConfirmedExit) {
    start();
    answers.thenPress(IDYES);
    PostMessageA(mainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app->messageLoop(), 0);
    EXPECT_TRUE(fileExists(settingsFile()));
}

} // namespace
