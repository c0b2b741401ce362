// Moving the selected record and finding text, by menu and by keyboard.
#include "AppFixture.h"

#include <utility>

#include "resource.h"

namespace {

using Names = std::vector<std::string>;

// The "Find what" edit of the system's Find box.
constexpr int findWhatEdit = 0x480;

std::pair<DWORD, DWORD> selectionOf(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

// Forty empty lines, then the text: a match below what the edit shows.
std::string farDown(const std::string& text) {
    std::string value;
    for (int line = 0; line < 40; ++line)
        value += "\r\n";
    return value + text;
}

bool grayed(HWND window, UINT id) {
    return (GetMenuState(GetMenu(window), id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

TEST_F(AppTest, MoveUpAndDownTakeTheRecordWithItsEditsToEitherEnd) {
    start();
    openDatabase({{"A", "a"}, {"B", "b"}, {"C", "c"}});
    clickItem(0);
    SetFocus(valueEdit());
    type(valueEdit(), "edited ");
    command(IDM_MOVE_DOWN);
    command(IDM_MOVE_DOWN);
    command(IDM_MOVE_DOWN); // already the last
    EXPECT_EQ(recordNames(), (Names{"B", "C", "A"}));
    EXPECT_EQ(listItems(), recordNames());
    EXPECT_EQ(app->recordList().at(2).value(), "edited a");
    EXPECT_EQ(listSelection(), 2);
    EXPECT_EQ(app->shownIndex(), 2);
    EXPECT_EQ(windowText(valueEdit()), "edited a");

    // Alt+Up wherever the focus is; the third finds the record at the top.
    for (HWND focus : {list(), nameEdit(), valueEdit()}) {
        SetFocus(focus);
        pressKey(focus, VK_UP, FALT);
    }
    EXPECT_EQ(recordNames(), (Names{"A", "B", "C"}));
    EXPECT_EQ(listSelection(), 0);
    pressKey(list(), VK_DOWN, FALT);
    EXPECT_EQ(recordNames(), (Names{"B", "A", "C"}));
}

TEST_F(AppTest, MoveItemsAreGreyedWhereTheRecordCannotMove) {
    start();
    openDatabase({{"A", ""}, {"B", ""}, {"C", ""}});
    const struct {
        int selected;
        bool up, down;
    } rows[] = {{-1, true, true}, {0, true, false}, {1, false, false}, {2, false, true}};
    for (const auto& row : rows) {
        SendMessageA(list(), LB_SETCURSEL, row.selected, 0);
        SendMessageA(mainWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(app->contextMenuHandle()), 1);
        EXPECT_EQ(grayed(mainWindow(), IDM_MOVE_UP), row.up) << row.selected;
        EXPECT_EQ(grayed(mainWindow(), IDM_MOVE_DOWN), row.down) << row.selected;
    }
}

class FindTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        start();
        openDatabase({{"Alpha", "one\r\ntwo alpha"}, {"beta", "x"}, {"gamma", farDown("ALPHA")}});
    }

    // Ctrl+F (or another key) in the list; the box stays open.
    HWND openBox(WPARAM key = 'F', BYTE modifiers = FCONTROL) {
        answers.then([](HWND) {});
        pressKey(list(), key, modifiers);
        EXPECT_TRUE(pumpUntil([this] { return answers.allAnswered(); }));
        return app->findBoxHandle();
    }

    // Enter in the box's edit, through the program's loop.
    void findInBox(const std::string& text) {
        HWND edit = GetDlgItem(app->findBoxHandle(), findWhatEdit);
        SetWindowTextA(edit, text.c_str());
        pressKey(edit, VK_RETURN);
    }

    void expectMatch(int record, HWND edit, DWORD start) {
        EXPECT_EQ(listSelection(), record);
        EXPECT_EQ(app->shownIndex(), record);
        EXPECT_EQ(selectionOf(edit), std::make_pair(start, start + 5));
    }
};

TEST_F(FindTest, TheBoxVisitsEveryMatchInTurnAndGoesRound) {
    HWND box = openBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(windowText(box), "Find");
    findInBox("alpha");
    expectMatch(0, nameEdit(), 0);
    HWND edit = GetDlgItem(box, findWhatEdit);
    pressKey(edit, VK_RETURN);
    expectMatch(0, valueEdit(), 9);
    pressKey(edit, VK_RETURN);
    expectMatch(2, valueEdit(), 80);
    EXPECT_GT(SendMessageA(valueEdit(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_EQ(GetFocus(), edit);
    pressKey(edit, VK_RETURN);
    expectMatch(0, nameEdit(), 0);

    // Ctrl+A selects in the box, not in the panel; Esc closes the box and
    // leaves the user at the match.
    pressKey(edit, 'A', FCONTROL);
    EXPECT_EQ(selectionOf(edit), std::make_pair(DWORD{0}, DWORD{5}));
    pressKey(edit, VK_ESCAPE);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(GetFocus(), nameEdit());
    expectMatch(0, nameEdit(), 0);

    // The next box holds the last search; Ctrl+F again keeps that one box.
    box = openBox();
    EXPECT_EQ(windowText(GetDlgItem(box, findWhatEdit)), "alpha");
    pressKey(list(), 'F', FCONTROL);
    EXPECT_EQ(app->findBoxHandle(), box);
}

TEST_F(FindTest, F3AndShiftF3SearchAgainWithoutTheBoxAfterTheEditsAreCommitted) {
    HWND box = openBox(VK_F3, 0); // before any search, F3 asks for one
    ASSERT_NE(box, nullptr);
    findInBox("alpha");
    pressKey(GetDlgItem(box, findWhatEdit), VK_ESCAPE);

    pressKey(nameEdit(), VK_F3);
    expectMatch(0, valueEdit(), 9);
    EXPECT_EQ(GetFocus(), valueEdit());
    pressKey(valueEdit(), VK_F3);
    expectMatch(2, valueEdit(), 80);
    pressKey(valueEdit(), VK_F3, FSHIFT);
    expectMatch(0, valueEdit(), 9);

    type(valueEdit(), "alpha alpha"); // over the selected match, not yet committed
    pressKey(valueEdit(), VK_F3);
    expectMatch(0, valueEdit(), 15);
}

TEST_F(FindTest, NothingFoundNamesTheTextAndKeepsTheSelection) {
    clickItem(1);
    openBox();
    answers.thenPress(IDOK);
    findInBox("zeta");
    ASSERT_EQ(answers.seen().size(), 2u);
    EXPECT_EQ(answers.seen()[1].caption, "Find");
    EXPECT_EQ(answers.seen()[1].text, "Cannot find \"zeta\".");
    EXPECT_EQ(listSelection(), 1);
    EXPECT_EQ(app->shownIndex(), 1);
}

} // namespace
