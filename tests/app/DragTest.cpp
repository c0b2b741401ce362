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

    // Sends a drag list notification with the cursor at a screen point, as
    // the drag list box does; returns the main window's answer.
    LRESULT notify(UINT code, POINT cursor) {
        DRAGLISTINFO info{code, list(), cursor};
        LRESULT result = SendMessageA(mainWindow(), app->dragListMessageId(), 0, reinterpret_cast<LPARAM>(&info));
        runLoop();
        return result;
    }

    POINT belowItems() const {
        RECT client;
        GetClientRect(list(), &client);
        POINT p{client.right / 2, client.bottom - 3};
        MapWindowPoints(list(), HWND_DESKTOP, &p, 1);
        return p;
    }

    void drag(int from, int onto) {
        ASSERT_EQ(notify(DL_BEGINDRAG, itemPoint(from)), TRUE);
        EXPECT_EQ(notify(DL_DRAGGING, itemPoint(onto)), DL_COPYCURSOR);
        EXPECT_EQ(notify(DL_DROPPED, itemPoint(onto)), 0);
    }
};

TEST_F(DragTest, TheRecordLandsBeforeTheItemItIsDroppedOn) {
    drag(0, 3);
    EXPECT_EQ(recordNames(), (Names{"B", "C", "A", "D", "E"}));
    EXPECT_EQ(listItems(), recordNames());
    EXPECT_EQ(app->recordList().at(2).value(), "a");
    EXPECT_EQ(listSelection(), 2);
    EXPECT_EQ(app->shownIndex(), 2);
    EXPECT_EQ(app->draggedIndex(), -1);
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
    EXPECT_EQ(app->draggedIndex(), 1); // kept when nothing moved
}

TEST_F(DragTest, DroppingBelowTheLastItemMovesNothing) {
    ASSERT_EQ(notify(DL_BEGINDRAG, itemPoint(0)), TRUE);
    EXPECT_EQ(notify(DL_DRAGGING, belowItems()), DL_COPYCURSOR);
    notify(DL_DROPPED, belowItems());
    EXPECT_EQ(recordNames(), (Names{"A", "B", "C", "D", "E"}));
}

TEST_F(DragTest, ADragBelowTheItemsIsRefusedAndCommitsNothing) {
    clickItem(0);
    SetFocus(valueEdit());
    type(valueEdit(), "pending ");
    EXPECT_EQ(notify(DL_BEGINDRAG, belowItems()), FALSE);
    EXPECT_EQ(app->recordList().at(0).value(), "a");
    EXPECT_EQ(app->draggedIndex(), -1);
}

TEST_F(DragTest, StartingADragCommitsTheShownRecordFirst) {
    clickItem(0);
    SetFocus(valueEdit());
    type(valueEdit(), "edited ");
    ASSERT_EQ(notify(DL_BEGINDRAG, itemPoint(3)), TRUE);
    EXPECT_EQ(app->recordList().at(0).value(), "edited a");
    EXPECT_EQ(listSelection(), 3);
    EXPECT_EQ(app->shownIndex(), 3);
    EXPECT_EQ(windowText(valueEdit()), "d");
    notify(DL_CANCELDRAG, itemPoint(3));
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
    EXPECT_EQ(notify(DL_BEGINDRAG, itemPoint(0)), FALSE);
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
    EXPECT_EQ(app->draggedIndex(), -1);
    EXPECT_EQ(listSelection(), -1);
}

TEST_F(DragTest, TheInsertionMarkGoesWhenADragEndsWithoutAMove) {
    RECT marked;
    SendMessageA(list(), LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&marked));
    for (UINT end : {DL_CANCELDRAG, DL_DROPPED}) {
        ASSERT_EQ(notify(DL_BEGINDRAG, itemPoint(1)), TRUE);
        notify(DL_DRAGGING, itemPoint(3));
        // Straight to the window, so that nothing is repainted before the
        // look at what waits to be.
        DRAGLISTINFO info{end, list(), itemPoint(1)};
        SendMessageA(mainWindow(), app->dragListMessageId(), 0, reinterpret_cast<LPARAM>(&info));
        RECT dirty;
        ASSERT_TRUE(GetUpdateRect(list(), &dirty, FALSE)) << "nothing to repaint after " << end;
        EXPECT_TRUE(PtInRect(&dirty, POINT{(marked.left + marked.right) / 2, marked.top})) << end;
        runLoop();
    }
    EXPECT_EQ(recordNames(), (Names{"A", "B", "C", "D", "E"}));
}

// The context menu is a modal menu loop: a timer inside it waits until the
// popup menu shows, reads the menu's state and closes it.
struct ContextMenuWatch {
    HMENU menu = nullptr;
    DWORD start = 0;
    bool shown = false;
    UINT removeState = 0;
};
ContextMenuWatch watch;

BOOL CALLBACK findPopupMenu(HWND window, LPARAM found) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32768" || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

bool popupMenuShown() {
    bool found = false;
    EnumThreadWindows(GetCurrentThreadId(), findPopupMenu, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK closeMenuOnceShown(HWND, UINT, UINT_PTR timer, DWORD) {
    watch.shown = popupMenuShown();
    bool givenUp = GetTickCount() - watch.start > 10000;
    if (!watch.shown && !givenUp)
        return;
    KillTimer(nullptr, timer);
    watch.removeState = GetMenuState(watch.menu, IDM_REMOVE, MF_BYCOMMAND);
    EndMenu();
}

TEST_F(DragTest, TheContextMenuSelectsAndShowsTheItemUnderTheCursor) {
    clickItem(0);
    SetFocus(valueEdit());
    type(valueEdit(), "x");
    POINT onItem = itemPoint(2);
    ASSERT_TRUE(movePointerTo(onItem));
    watch = ContextMenuWatch{app->contextMenuHandle(), GetTickCount()};
    UINT_PTR timer = SetTimer(nullptr, 0, 10, closeMenuOnceShown);
    POINT client = onItem;
    ScreenToClient(list(), &client);
    PostMessageA(list(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(client.x, client.y));
    runLoop(); // the menu's own loop runs inside, until the timer closes the menu
    KillTimer(nullptr, timer);
    EXPECT_TRUE(watch.shown);
    EXPECT_EQ(app->recordList().at(0).value(), "xa");
    EXPECT_EQ(listSelection(), 2);
    EXPECT_EQ(app->shownIndex(), 2);
    EXPECT_EQ(windowText(valueEdit()), "c");
    EXPECT_EQ(watch.removeState & MF_GRAYED, 0u);
}

} // namespace
