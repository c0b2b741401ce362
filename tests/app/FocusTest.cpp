// Where the keyboard focus is after something opened over the main window
// and closed again, or after a key that must change nothing or move it:
// each row puts the focus somewhere, acts, and names where the focus must
// be afterwards.
#include "AppFixture.h"

#include "resource.h"

namespace {

class FocusTest;
using Control = HWND (AppTest::*)() const;

struct FocusRow {
    const char* name;
    Control before;
    void (*act)(FocusTest&);
    Control after;
};

class FocusTest : public AppTest, public ::testing::WithParamInterface<FocusRow> {
public:
    // Answers what opens with a button, through a menu command.
    void answered(int id, int button) {
        answers.thenPress(button);
        command(id);
    }
    // Alt and a label's key where the focus is, the caret placed in the
    // field first: it stays there.
    void accessKey(WPARAM key, HWND field) {
        SendMessageA(field, EM_SETSEL, 1, 1);
        pressKey(GetFocus(), key, FALT);
        EXPECT_EQ(SendMessageA(field, EM_GETSEL, 0, 0), MAKELRESULT(1, 1));
    }
};

// Another program's window comes to the front, then the user switches back.
void switchAway(FocusTest& t) {
    HWND other = CreateWindowExA(0, "STATIC", "another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_TRUE(pumpUntil([other] { return GetActiveWindow() == other; }));
    SetForegroundWindow(t.mainWindow());
    EXPECT_TRUE(pumpUntil([&t] { return GetActiveWindow() == t.mainWindow(); }));
    t.runLoop();
    DestroyWindow(other);
}

// The window is minimised from its system menu, then restored.
void minimiseAndRestore(FocusTest& t) {
    for (WPARAM command : {SC_MINIMIZE, SC_RESTORE}) {
        PostMessageA(t.mainWindow(), WM_SYSCOMMAND, command, 0);
        EXPECT_TRUE(pumpUntil([&t, command] { return (IsIconic(t.mainWindow()) != 0) == (command == SC_MINIMIZE); }));
    }
}

const FocusRow rows[] = {
    {"AboutBoxFromTheValueEdit", &AppTest::valueEdit, [](FocusTest& t) { t.answered(IDM_ABOUT, IDOK); },
     &AppTest::valueEdit},
    {"RemoveAnsweredNoFromTheNameEdit", &AppTest::nameEdit, [](FocusTest& t) { t.answered(IDM_REMOVE, IDNO); },
     &AppTest::nameEdit},
    // The edit it had is disabled with no record shown: the list takes it.
    {"RemoveAnsweredYesFromTheValueEdit", &AppTest::valueEdit, [](FocusTest& t) { t.answered(IDM_REMOVE, IDYES); },
     &AppTest::list},
    {"OpenDialogCancelledFromTheValueEdit", &AppTest::valueEdit,
     [](FocusTest& t) { t.answered(IDM_OPEN, IDCANCEL); }, &AppTest::valueEdit},
    {"FontDialogCancelledFromTheNameEdit", &AppTest::nameEdit, [](FocusTest& t) { t.answered(IDM_FONT, IDCANCEL); },
     &AppTest::nameEdit},
    {"ColorDialogCancelledFromTheValueEdit", &AppTest::valueEdit,
     [](FocusTest& t) { t.answered(IDM_BACKGROUND_COLOR, IDCANCEL); }, &AppTest::valueEdit},
    {"AnotherProgramAndBackFromTheValueEdit", &AppTest::valueEdit, switchAway, &AppTest::valueEdit},
    {"MinimisedAndRestoredFromTheNameEdit", &AppTest::nameEdit, minimiseAndRestore, &AppTest::nameEdit},
    // Esc in the Value edit changes nothing: the panel stays, the focus too.
    {"EscInTheValueEdit", &AppTest::valueEdit, [](FocusTest& t) { t.pressKey(t.valueEdit(), VK_ESCAPE); },
     &AppTest::valueEdit},
    {"AltAFromTheList", &AppTest::list, [](FocusTest& t) { t.accessKey('A', t.valueEdit()); }, &AppTest::valueEdit},
    {"AltNFromTheValueEdit", &AppTest::valueEdit, [](FocusTest& t) { t.accessKey('N', t.nameEdit()); },
     &AppTest::nameEdit},
};

TEST_P(FocusTest, ComesBackWhereItWas) {
    const FocusRow& row = GetParam();
    start();
    openDatabase({{"a", "first line\r\nsecond line"}, {"b", "2"}});
    clickItem(0);
    SetFocus((this->*row.before)());
    row.act(*this);
    runLoop();
    EXPECT_EQ(GetFocus(), (this->*row.after)());
    EXPECT_TRUE(IsWindowVisible(app->recordDialog().hwnd()));
}

INSTANTIATE_TEST_SUITE_P(Opened, FocusTest, ::testing::ValuesIn(rows),
                         [](const ::testing::TestParamInfo<FocusRow>& info) { return info.param.name; });

} // namespace
