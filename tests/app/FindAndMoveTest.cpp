// Moving the selected record and finding text, by menu and by keyboard.
#include "AppFixture.h"

#include <utility>

#include "resource.h"

namespace {

using Names = std::vector<std::string>;

constexpr int findWhatEdit = 0x480, upButton = 0x420; // of the system's Find box

std::pair<DWORD, DWORD> selectionOf(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

// Whether Move Up and Move Down are greyed when the Records menu opens.
std::pair<bool, bool> moveItemsGreyed(AppTest& t) {
    SendMessageA(t.mainWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(t.app->contextMenuHandle()), 1);
    return {t.greyed(IDM_MOVE_UP), t.greyed(IDM_MOVE_DOWN)};
}

TEST_F(AppTest, MoveUpAndDownTakeTheRecordWithItsEditsToEitherEnd) {
    start();
    openDatabase({{"A", "a"}, {"B", "b"}, {"C", "c"}});
    EXPECT_EQ(moveItemsGreyed(*this), std::make_pair(true, true)); // nothing selected
    clickItem(0);
    SetFocus(valueEdit());
    type(valueEdit(), "edited ");
    for (int i = 0; i < 3; ++i)
        command(IDM_MOVE_DOWN); // the third finds it last already
    EXPECT_EQ(recordNames(), (Names{"B", "C", "A"}));
    EXPECT_EQ(listItems(), recordNames());
    EXPECT_EQ(app->recordList().at(2).value(), "edited a");
    EXPECT_EQ(app->shownIndex(), 2);
    EXPECT_EQ(listSelection(), 2);
    EXPECT_EQ(moveItemsGreyed(*this), std::make_pair(false, true));

    for (HWND focus : {list(), nameEdit(), valueEdit()}) { // the third finds it at the top
        SetFocus(focus);
        pressKey(focus, VK_UP, FALT);
    }
    EXPECT_EQ(recordNames(), (Names{"A", "B", "C"}));
    EXPECT_EQ(moveItemsGreyed(*this), std::make_pair(true, false));
}

class FindTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        start();
        // "alpha" in record 0's name and value, and far along record 2's value.
        openDatabase({{"Alpha", "one\r\ntwo alpha"}, {"beta", "x"}, {"gamma", std::string(300, '.') + "ALPHA"}});
    }

    // The key that opens the box, pressed in the list; the box stays open.
    HWND openBox(WPARAM key, BYTE modifiers) {
        answers.then([](HWND) {});
        pressKey(list(), key, modifiers);
        EXPECT_TRUE(pumpUntil([this] { return answers.allAnswered(); }));
        return GetDlgItem(app->findBoxHandle(), findWhatEdit);
    }

    void expectMatch(int record, HWND edit, DWORD start) {
        EXPECT_EQ(listSelection(), record);
        EXPECT_EQ(app->shownIndex(), record);
        EXPECT_EQ(selectionOf(edit), std::make_pair(start, start + 5));
    }
};

TEST_F(FindTest, TheBoxVisitsEveryMatchInTurnAndGoesRound) {
    HWND edit = openBox(VK_F3, 0); // before any search, F3 asks for one
    SetWindowTextA(edit, "alpha");
    pressKey(edit, VK_RETURN);
    expectMatch(0, nameEdit(), 0);
    LRESULT at = SendMessageA(valueEdit(), EM_POSFROMCHAR, 9, 0); // of the next match
    POINT match{LOWORD(at) + 2, HIWORD(at) + 2};
    ClientToScreen(valueEdit(), &match);
    HWND box = app->findBoxHandle();
    SetWindowPos(box, nullptr, match.x - 20, match.y - 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER); // over it
    pressKey(edit, VK_RETURN);
    expectMatch(0, valueEdit(), 9);
    RECT boxRect;
    EXPECT_FALSE(GetWindowRect(box, &boxRect) && PtInRect(&boxRect, match)); // moved off it
    pressKey(edit, VK_RETURN);
    expectMatch(2, valueEdit(), 300);
    EXPECT_EQ(GetFocus(), edit);
    pressKey(edit, VK_RETURN);
    expectMatch(0, nameEdit(), 0);
    SendMessageA(GetDlgItem(app->findBoxHandle(), upButton), BM_CLICK, 0, 0);
    pressKey(edit, VK_RETURN);
    expectMatch(2, valueEdit(), 300);

    pressKey(edit, 'A', FCONTROL); // in the box, not the panel's select-all
    EXPECT_EQ(selectionOf(edit), std::make_pair(DWORD{0}, DWORD{5}));
    pressKey(edit, VK_ESCAPE);
    EXPECT_EQ(app->findBoxHandle(), nullptr);
    EXPECT_EQ(GetFocus(), valueEdit()); // at the match

    edit = openBox('F', FCONTROL);
    EXPECT_EQ(windowText(edit), "alpha");
    box = app->findBoxHandle();
    pressKey(list(), 'F', FCONTROL);
    EXPECT_EQ(app->findBoxHandle(), box);
}

TEST_F(FindTest, F3AndShiftF3SearchAgainAfterCommittingThePanel) {
    HWND edit = openBox('F', FCONTROL);
    SetWindowTextA(edit, "alpha");
    pressKey(edit, VK_RETURN);
    pressKey(edit, VK_ESCAPE);
    pressKey(nameEdit(), VK_F3);
    expectMatch(0, valueEdit(), 9);
    EXPECT_EQ(GetFocus(), valueEdit());
    type(valueEdit(), "alpha alpha"); // over the match, not yet committed: on after the caret
    pressKey(valueEdit(), VK_F3);
    expectMatch(2, valueEdit(), 300);
    pressKey(valueEdit(), VK_F3, FSHIFT);
    expectMatch(0, valueEdit(), 15);
    SendMessageA(valueEdit(), EM_SETSEL, 3, 12); // the user selects: back from before that
    pressKey(valueEdit(), VK_F3, FSHIFT);
    expectMatch(0, nameEdit(), 0);

    edit = openBox('F', FCONTROL);
    answers.thenPress(IDOK);
    SetWindowTextA(edit, "zeta");
    pressKey(edit, VK_RETURN);
    EXPECT_EQ(answers.seen().back().caption, "Find");
    EXPECT_EQ(answers.seen().back().text, "Cannot find \"zeta\".");
    EXPECT_EQ(listSelection(), 0);
    SetWindowTextA(edit, "alpha"); // down, as the box was left the last time
    pressKey(edit, VK_RETURN);
    expectMatch(0, valueEdit(), 9);
}

// Runs again under code page 932 (app_tests_cp932), where 0x83 0x41 is one
// character: its second byte is no "a".
TEST_F(FindTest, MatchesAreWholeCharactersOnADoubleByteCodePage) {
    if (!IsDBCSLeadByte(0x83))
        GTEST_SKIP() << "a single-byte code page";
    openDatabase({{"\x83\x41", "\x83\x41" "a"}, {"b", "x"}});
    HWND edit = openBox('F', FCONTROL);
    SetWindowTextA(edit, "a");
    pressKey(edit, VK_RETURN);
    EXPECT_EQ(listSelection(), 0);
    // The last character, whether the edit counts its places in bytes or in characters.
    DWORD length = static_cast<DWORD>(SendMessageA(valueEdit(), EM_LINELENGTH, 0, 0));
    EXPECT_EQ(selectionOf(valueEdit()), std::make_pair(length - 1, length));
}

} // namespace
