#include "AppFixture.h"

#include "resource.h"

namespace {

using Names = std::vector<std::string>;

TEST_F(AppTest, AddAppendsANewRecordReadyToBeNamed) {
    start();
    command(IDM_ADD);
    EXPECT_EQ(recordNames(), Names{"New Record"});
    EXPECT_EQ(listItems(), Names{"New Record"});
    EXPECT_EQ(listSelection(), 0);
    EXPECT_EQ(app->shownIndex(), 0);
    EXPECT_EQ(GetFocus(), nameEdit());
    DWORD start = 0, end = 0;
    SendMessageA(nameEdit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 10u);
    EXPECT_TRUE(IsWindowEnabled(nameEdit()));
    EXPECT_TRUE(IsWindowEnabled(valueEdit()));
    EXPECT_EQ(windowText(valueEdit()), "");

    clickItem(0);
    command(IDM_ADD); // always at the end, whatever is selected
    EXPECT_EQ(listItems(), (Names{"New Record", "New Record"}));
    EXPECT_EQ(listSelection(), 1);
}

TEST_F(AppTest, TheListFollowsEachKeystrokeInTheNameEdit) {
    start();
    command(IDM_ADD);
    type(nameEdit(), "A");
    EXPECT_EQ(listItems(), Names{"A"});
    EXPECT_EQ(recordNames(), Names{"A"});
    type(nameEdit(), "b{");
    EXPECT_EQ(listItems(), Names{"Ab{"});
    EXPECT_EQ(recordNames(), Names{"Ab{"});
    EXPECT_EQ(listSelection(), 0);
}

TEST_F(AppTest, ASelectionChangeCarriesTheEditIntoThePreviousRecord) {
    start();
    openDatabase({{"a", "first"}, {"b", "second"}});
    clickItem(0);
    EXPECT_EQ(windowText(valueEdit()), "first");
    SetFocus(valueEdit());
    SendMessageA(valueEdit(), EM_SETSEL, 0, -1);
    type(valueEdit(), "changed");
    clickItem(1);
    EXPECT_EQ(app->recordList().at(0).value(), "changed");
    EXPECT_EQ(app->recordList().at(1).value(), "second");
    EXPECT_EQ(windowText(valueEdit()), "second");
    EXPECT_EQ(app->shownIndex(), 1);
    EXPECT_EQ(listItems(), (Names{"a", "b"}));
}


// A name that changed without the loop seeing it (set straight into the
// edit) still reaches the list when the record is committed, and the list
// keeps its selection on the newly clicked item.
TEST_F(AppTest, ACommitShowsANameThatTrackingMissed) {
    start();
    openDatabase({{"a", "first"}, {"b", "second"}, {"c", "third"}});
    clickItem(1);
    SetWindowTextA(nameEdit(), "renamed");
    clickItem(2);
    EXPECT_EQ(listItems(), (Names{"a", "renamed", "c"}));
    EXPECT_EQ(recordNames(), (Names{"a", "renamed", "c"}));
    EXPECT_EQ(listSelection(), 2);
    EXPECT_EQ(windowText(nameEdit()), "c");
}
TEST_F(AppTest, AClickOnTheShownItemReloadsNothing) {
    start();
    openDatabase({{"a", "first"}});
    clickItem(0);
    SetFocus(valueEdit());
    type(valueEdit(), "!");
    clickItem(0);
    EXPECT_EQ(windowText(valueEdit()), "!first");
    EXPECT_EQ(app->recordList().at(0).value(), "first"); // not committed either
}

TEST_F(AppTest, SortsCommitFirstAndLeaveNothingSelected) {
    start();
    openDatabase({{"b", "1"}, {"A", "2"}, {"c", "3"}});
    clickItem(2);
    SetFocus(nameEdit());
    SendMessageA(nameEdit(), EM_SETSEL, 0, -1);
    type(nameEdit(), "_c");
    command(IDM_SORT_ASCENDING);
    EXPECT_EQ(recordNames(), (Names{"_c", "A", "b"}));
    EXPECT_EQ(listItems(), (Names{"_c", "A", "b"}));
    EXPECT_EQ(app->recordList().at(0).value(), "3");
    EXPECT_EQ(listSelection(), -1);
    EXPECT_EQ(app->shownIndex(), -1);
    EXPECT_FALSE(IsWindowEnabled(nameEdit()));
    EXPECT_EQ(windowText(nameEdit()), "");
    EXPECT_EQ(windowText(valueEdit()), "");
    command(IDM_SORT_DESCENDING);
    EXPECT_EQ(listItems(), (Names{"b", "A", "_c"}));
    EXPECT_EQ(listSelection(), -1);
}

TEST_F(AppTest, ListBoxNotificationsNeverRunCommands) {
    start();
    for (WORD code : {WORD(LBN_DBLCLK), WORD(LBN_SETFOCUS), WORD(LBN_KILLFOCUS), WORD(LBN_ERRSPACE)})
        SendMessageA(mainWindow(), WM_COMMAND, MAKEWPARAM(IDM_ADD, code), reinterpret_cast<LPARAM>(list()));
    SendMessageA(mainWindow(), WM_COMMAND, MAKEWPARAM(IDM_ADD, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list()));
    runLoop();
    EXPECT_TRUE(recordNames().empty());
}

TEST_F(AppTest, SelectAllWorksInTheEditsOnly) {
    start();
    openDatabase({{"name", "some value"}});
    clickItem(0);
    SetFocus(valueEdit());
    SendMessageA(valueEdit(), EM_SETSEL, 0, 0);
    command(IDM_SELECT_ALL);
    DWORD start = 1, end = 0;
    SendMessageA(valueEdit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 10u);

    SendMessageA(valueEdit(), EM_SETSEL, 2, 2);
    SetFocus(list());
    command(IDM_SELECT_ALL);
    SendMessageA(valueEdit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 2u);
}

bool waiting() {
    return GetCursor() == LoadCursorA(nullptr, IDC_WAIT);
}

// Whether the wait cursor showed while a window of the thread was sent a message.
bool waitSeen = false;
LRESULT CALLBACK noteWaitCursor(int code, WPARAM wParam, LPARAM lParam) {
    waitSeen = waitSeen || waiting();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The work shows the wait cursor; the question before it, the message after
// it (here from a save that fails) and the window after it do not.
TEST_F(AppTest, OpenSaveSortAndRemoveAllShowTheWaitCursorWhileTheyWork) {
    start();
    std::string path = writeDatabase("db.txt", {{"b", "1"}, {"a", "2"}});
    for (auto [id, button] : {std::pair{0, 0}, {IDM_SORT_DESCENDING, 0}, {IDM_SAVE, 0}, {IDM_SAVE, IDOK},
                              {IDM_REMOVE_ALL, IDYES}}) {
        ASSERT_TRUE(app->openFile(path));
        clickItem(0);
        HANDLE lock = button == IDOK ? CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                     : nullptr;
        bool waitingInBox = false;
        if (button)
            answers.then([&, button](HWND box) {
                waitingInBox = waiting();
                pressButton(box, button);
            });
        waitSeen = false;
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, noteWaitCursor, nullptr, GetCurrentThreadId());
        id ? command(id) : (void)app->openFile(path);
        UnhookWindowsHookEx(hook);
        if (lock)
            CloseHandle(lock);
        EXPECT_TRUE(waitSeen && !waitingInBox && !waiting()) << id << " " << button;
    }
}

TEST_F(AppTest, AboutShowsTheProgramAndVersion) {
    start();
    answers.thenPress(IDOK);
    command(IDM_ABOUT);
    ASSERT_EQ(answers.seen().size(), 1u);
    EXPECT_EQ(answers.seen()[0].caption, "About Tabulo");
    EXPECT_EQ(answers.seen()[0].text.rfind("Tabulo - A Simple Text Database Tool\r\nVersion 0.6", 0), 0u);
}

} // namespace
