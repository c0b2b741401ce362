#include "AppFixture.h"

#include <commctrl.h>

#include <atomic>
#include <thread>

#include "resource.h"

namespace {

using Names = std::vector<std::string>;

class DragTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        start();
        openDatabase({{"A", "a"}, {"B", "b"}, {"C", "c"}, {"D", "d"}, {"E", "e"}});
    }

    // The cursor the drag list shows for DL_COPYCURSOR (Wine's comctl32
    // resource; DL_MOVECURSOR's is 102).
    static HCURSOR copyCursor() { return LoadCursorA(GetModuleHandleA("comctl32.dll"), MAKEINTRESOURCEA(104)); }

    POINT belowItems() const {
        RECT client;
        GetClientRect(list(), &client);
        POINT p{client.right / 2, client.bottom - 3};
        MapWindowPoints(list(), HWND_DESKTOP, &p, 1);
        return p;
    }

    void drag(int from, int onto) {
        mouse(WM_LBUTTONDOWN, itemPoint(from));
        ASSERT_EQ(app->lastDragSource(), from);
        mouse(WM_MOUSEMOVE, itemPoint(onto));
        EXPECT_EQ(GetCursor(), copyCursor());
        mouse(WM_LBUTTONUP, itemPoint(onto));
    }
};

TEST_F(DragTest, TheRecordLandsBeforeTheItemItIsDroppedOn) {
    drag(0, 3);
    EXPECT_EQ(recordNames(), (Names{"B", "C", "A", "D", "E"}));
    EXPECT_EQ(listItems(), recordNames());
    EXPECT_EQ(app->recordList().at(2).value(), "a");
    EXPECT_EQ(listSelection(), 2);
    EXPECT_EQ(app->shownIndex(), 2);
    EXPECT_EQ(app->lastDragSource(), -1);
    EXPECT_EQ(windowText(nameEdit()), "A");

    drag(4, 1);
    EXPECT_EQ(recordNames(), (Names{"B", "E", "C", "A", "D"}));
    EXPECT_EQ(listItems(), recordNames());
    EXPECT_EQ(listSelection(), 1);
}

TEST_F(DragTest, DroppingOnItselfOrTheNextItemMovesNothing) {
    drag(1, 2);
    EXPECT_EQ(recordNames(), (Names{"A", "B", "C", "D", "E"}));
    drag(1, 1);
    EXPECT_EQ(recordNames(), (Names{"A", "B", "C", "D", "E"}));
    EXPECT_EQ(app->lastDragSource(), 1); // kept when nothing moved
}

TEST_F(DragTest, DroppingBelowTheLastItemMovesNothing) {
    mouse(WM_LBUTTONDOWN, itemPoint(0));
    mouse(WM_MOUSEMOVE, belowItems());
    mouse(WM_LBUTTONUP, belowItems());
    EXPECT_EQ(recordNames(), (Names{"A", "B", "C", "D", "E"}));
}

TEST_F(DragTest, ADragBelowTheItemsIsRefusedAndCommitsNothing) {
    clickItem(0);
    SetFocus(valueEdit());
    type(valueEdit(), "pending ");
    mouse(WM_LBUTTONDOWN, belowItems());
    mouse(WM_LBUTTONUP, belowItems());
    EXPECT_EQ(app->recordList().at(0).value(), "a");
    EXPECT_EQ(app->lastDragSource(), -1);
}

TEST_F(DragTest, StartingADragCommitsTheShownRecordFirst) {
    clickItem(0);
    SetFocus(valueEdit());
    type(valueEdit(), "edited ");
    mouse(WM_LBUTTONDOWN, itemPoint(3));
    EXPECT_EQ(app->lastDragSource(), 3);
    EXPECT_EQ(app->recordList().at(0).value(), "edited a");
    EXPECT_EQ(listSelection(), 3);
    EXPECT_EQ(app->shownIndex(), 3);
    EXPECT_EQ(windowText(valueEdit()), "d");
    mouse(WM_LBUTTONUP, itemPoint(3));
    EXPECT_EQ(recordNames(), (Names{"A", "B", "C", "D", "E"}));
}

TEST_F(DragTest, EditsMadeBeforeADragStayWithTheMovedRecord) {
    clickItem(0);
    SetFocus(valueEdit());
    type(valueEdit(), "kept ");
    drag(0, 4);
    EXPECT_EQ(recordNames(), (Names{"B", "C", "D", "A", "E"}));
    EXPECT_EQ(app->recordList().at(3).value(), "kept a");
    EXPECT_EQ(windowText(valueEdit()), "kept a");
}

TEST_F(DragTest, AnEmptyListStartsNoDrag) {
    answers.thenPress(IDYES);
    command(IDM_REMOVE_ALL);
    mouse(WM_LBUTTONDOWN, belowItems());
    EXPECT_EQ(app->lastDragSource(), -1);
    mouse(WM_LBUTTONUP, belowItems());
}

TEST_F(DragTest, DragNotificationsFromAnotherThreadAreIgnored) {
    DRAGLISTINFO info{DL_BEGINDRAG, list(), itemPoint(2)};
    std::atomic<int> answered{0};
    std::thread other([&] {
        for (LPARAM pointer : {reinterpret_cast<LPARAM>(&info), static_cast<LPARAM>(0x10)}) {
            DWORD_PTR result;
            SendMessageTimeoutA(mainWindow(), app->dragListMessageId(), 0, pointer, SMTO_NORMAL, 10000, &result);
            ++answered;
        }
    });
    bool done = pumpUntil([&] { return answered == 2; }, 20000);
    other.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(app->lastDragSource(), -1);
    EXPECT_EQ(listSelection(), -1);
}

TEST_F(DragTest, ADropKeepsEveryRecordWhicheverAllocationFails) {
    // Longer than a string keeps in itself: a copy of them allocates.
    const std::string tail(40, '.');
    openDatabase({{"A" + tail, "a" + tail}, {"B" + tail, "b" + tail}, {"C" + tail, "c" + tail}});
    const Names names = recordNames();
    for (long left : {0, 1, 2, 3}) {
        mouse(WM_LBUTTONDOWN, itemPoint(0));
        mouse(WM_MOUSEMOVE, itemPoint(2));
        allocationsLeft = left;
        SendMessageA(list(), WM_LBUTTONUP, 0, listPoint(itemPoint(2))); // the drop alone, as memory runs out
        allocationsLeft = -1;
        runLoop();
        Names moved = left % 2 == 0 ? Names{names[1], names[0], names[2]} : names;
        EXPECT_EQ(recordNames(), moved) << left;
        EXPECT_EQ(listItems(), moved) << left;
    }
}

TEST_F(DragTest, AForgedNotificationInsideAMessageBoxIsIgnored) {
    DRAGLISTINFO info{DL_BEGINDRAG, list(), itemPoint(2)};
    answers.then([&](HWND box) {
        PostMessageA(mainWindow(), app->dragListMessageId(), 0, reinterpret_cast<LPARAM>(&info));
        pressButton(box, IDOK);
    });
    command(IDM_ABOUT);
    EXPECT_EQ(app->lastDragSource(), -1);
    EXPECT_EQ(listSelection(), -1);
}

TEST_F(DragTest, TheInsertionMarkGoesWhenADragEndsWithoutAMove) {
    RECT marked;
    SendMessageA(list(), LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&marked));
    // Esc cancels the drag; a release on the next item drops it where it is.
    for (UINT end : {WM_KEYDOWN, WM_LBUTTONUP}) {
        mouse(WM_LBUTTONDOWN, itemPoint(1));
        ASSERT_EQ(app->lastDragSource(), 1);
        mouse(WM_MOUSEMOVE, itemPoint(2));
        // Straight to the list box, so that nothing is repainted before the
        // look at what waits to be.
        SendMessageA(list(), end, end == WM_KEYDOWN ? VK_ESCAPE : 0, end == WM_KEYDOWN ? 1 : listPoint(itemPoint(2)));
        RECT dirty;
        ASSERT_TRUE(GetUpdateRect(list(), &dirty, FALSE)) << "nothing to repaint after " << end;
        EXPECT_TRUE(PtInRect(&dirty, POINT{(marked.left + marked.right) / 2, marked.top})) << end;
        runLoop();
    }
    EXPECT_EQ(recordNames(), (Names{"A", "B", "C", "D", "E"}));
}

// The context menu is a modal menu loop: a timer inside it waits until the
// popup menu shows, reads the menu's state and place and closes it.
struct ContextMenuWatch {
    HMENU menu = nullptr;
    DWORD start = 0;
    bool shown = false;
    UINT removeState = 0;
    POINT corner = {};
};
ContextMenuWatch watch;

BOOL CALLBACK findPopupMenu(HWND window, LPARAM found) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32768" || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK closeMenuOnceShown(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND popup = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findPopupMenu, reinterpret_cast<LPARAM>(&popup));
    watch.shown = popup != nullptr;
    bool givenUp = GetTickCount() - watch.start > 10000;
    if (!watch.shown && !givenUp)
        return;
    KillTimer(nullptr, timer);
    watch.removeState = GetMenuState(watch.menu, IDM_REMOVE, MF_BYCOMMAND);
    RECT rect = {};
    GetWindowRect(popup, &rect);
    watch.corner = {rect.left, rect.top};
    EndMenu();
}

// Does what opens the context menu through the loop, inside which the
// menu's own loop runs until the timer closes the menu.
void openContextMenu(HMENU menu, const std::function<void()>& open) {
    watch = ContextMenuWatch{menu, GetTickCount()};
    UINT_PTR timer = SetTimer(nullptr, 0, 10, closeMenuOnceShown);
    open();
    KillTimer(nullptr, timer);
}

TEST_F(DragTest, TheContextMenuSelectsAndShowsTheItemUnderTheCursor) {
    clickItem(0);
    SetFocus(valueEdit());
    type(valueEdit(), "x");
    POINT onItem = itemPoint(2);
    ASSERT_TRUE(movePointerTo(onItem));
    openContextMenu(app->contextMenuHandle(), [&] {
        PostMessageA(list(), WM_RBUTTONDOWN, MK_RBUTTON, listPoint(onItem));
        runLoop();
    });
    EXPECT_TRUE(watch.shown);
    EXPECT_EQ(app->recordList().at(0).value(), "xa");
    EXPECT_EQ(listSelection(), 2);
    EXPECT_EQ(app->shownIndex(), 2);
    EXPECT_EQ(windowText(valueEdit()), "c");
    EXPECT_EQ(watch.removeState & MF_GRAYED, 0u);
    EXPECT_EQ(watch.corner.x, onItem.x);
    EXPECT_EQ(watch.corner.y, onItem.y);
}

// Shift+F10 and the menu key: nothing selected, the menu opens at the
// list's top-left corner with Remove greyed; else below the selected item.
TEST_F(DragTest, TheKeyboardOpensTheContextMenuAtTheSelection) {
    SetFocus(list());
    const std::function<void()> keys[] = {
        [this] { // what Shift+F10 makes of itself in the list box
            PostMessageA(list(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()), -1);
            runLoop();
        },
        [this] { pressKey(list(), VK_APPS); }};
    for (int selected : {-1, 3}) {
        if (selected != -1)
            clickItem(selected);
        RECT below = {};
        if (selected != -1)
            SendMessageA(list(), LB_GETITEMRECT, selected, reinterpret_cast<LPARAM>(&below));
        POINT corner = {below.left, below.bottom};
        ClientToScreen(list(), &corner);
        for (const auto& key : keys) {
            openContextMenu(app->contextMenuHandle(), key);
            EXPECT_TRUE(watch.shown) << selected;
            EXPECT_EQ((watch.removeState & MF_GRAYED) != 0, selected == -1);
            EXPECT_EQ(watch.corner.x, corner.x) << selected;
            EXPECT_EQ(watch.corner.y, corner.y) << selected;
        }
    }
}

} // namespace
