#include "AppFixture.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "LongWork.h"
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

HWND progressBar(HWND window) {
    return FindWindowExA(window, nullptr, PROGRESS_CLASSA, nullptr);
}

// What the hooks saw of a long command: the wait cursor as a window of the
// thread was sent a message, and the progress bar as another thread's
// message was answered.
HWND busyWindow = nullptr;
bool waitSeen = false;
bool answeredUnderTheBar = false;
LRESULT CALLBACK watchTheWork(int code, WPARAM wParam, LPARAM lParam) {
    waitSeen = waitSeen || waiting();
    auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call->message == WM_NULL && call->hwnd == busyWindow)
        answeredUnderTheBar = IsWindowVisible(progressBar(busyWindow));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// As the bar comes, the user clicks Add, types "a" in the list and asks to
// close, and another program sends a message.
bool closeDuringWork = false;
std::optional<MessageFromAnotherThread> sent;
LRESULT CALLBACK actAsTheBarComes(int code, WPARAM wParam, LPARAM lParam) {
    char className[32] = {};
    if (code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className) &&
        std::string(className) == PROGRESS_CLASSA) {
        PostMessageA(busyWindow, WM_COMMAND, IDM_ADD, 0);
        PostMessageA(FindWindowExA(busyWindow, nullptr, "LISTBOX", nullptr), WM_CHAR, 'a', 1);
        if (closeDuringWork)
            PostMessageA(busyWindow, WM_CLOSE, 0, 0);
        sent.emplace(busyWindow, WM_NULL);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The work shows the wait cursor and (at once here) the progress bar, and
// answers other programs; what the user does meanwhile changes nothing, and
// a close comes after the work. The question before it, the message after
// it (here from a save that fails) and the window after it do not wait.
TEST_F(AppTest, LongCommandsShowTheirProgressAndKeepAnswering) {
    struct AtOnce {
        LongWork::Timing usual = std::exchange(LongWork::timing, {0, 0});
        ~AtOnce() { LongWork::timing = usual; }
    } atOnce;
    start();
    busyWindow = mainWindow();
    std::string path = writeDatabase("db.txt", {{"b", "1"}, {"a", "2"}});
    for (auto [id, button] : {std::pair{0, 0}, {IDM_SORT_DESCENDING, 0}, {IDM_SAVE, 0}, {IDM_SAVE, IDOK},
                              {IDM_REMOVE_ALL, IDYES}, {IDM_NEW, IDYES}}) {
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
        waitSeen = answeredUnderTheBar = false;
        closeDuringWork = button != IDOK; // the message box would take the close first
        HHOOK watch = SetWindowsHookExA(WH_CALLWNDPROC, watchTheWork, nullptr, GetCurrentThreadId());
        HHOOK act = SetWindowsHookExA(WH_CBT, actAsTheBarComes, nullptr, GetCurrentThreadId());
        id ? (void)SendMessageA(mainWindow(), WM_COMMAND, id, 0) : (void)app->openFile(path);
        UnhookWindowsHookEx(act);
        UnhookWindowsHookEx(watch);
        if (lock)
            CloseHandle(lock);
        EXPECT_TRUE(waitSeen && !waitingInBox && !waiting()) << id << " " << button;
        EXPECT_TRUE(answeredUnderTheBar && !progressBar(mainWindow())) << id << " " << button;
        std::size_t boxes = answers.seen().size();
        if (closeDuringWork)
            answers.thenPress(IDNO);
        runLoop();
        sent.reset();
        if (closeDuringWork) {
            ASSERT_EQ(answers.seen().size(), boxes + 1) << id;
            EXPECT_EQ(answers.seen().back().text, "Are you sure you wish to exit?");
        }
        Names names = recordNames();
        EXPECT_EQ(std::count(names.begin(), names.end(), "New Record"), 0) << id;
        EXPECT_NE(listSelection(), 1) << id;
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
