#include <gtest/gtest.h>

#include <algorithm>

#include "Splitter.h"
#include "Window.h"

namespace {

constexpr int clientWidth = 400;
constexpr int clientHeight = 300;
constexpr int y = 150;

// A main window split like the program's: its mouse and size messages go to
// the splitter, two child windows are the panes.
class SplitWindow {
public:
    SplitWindow() : splitter(nullptr, nullptr, nullptr) {
        // Keep the real pointer away from the window, so that no move of the
        // real mouse gets mixed into the messages the tests send.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        window.owner = this;
        window.callback = windowCallback<SplitWindow, &SplitWindow::onMessage>;
        window.create("split", nullptr, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0);
        left = makePane();
        right = makePane();
        splitter.position = 100;
        splitter.parent = window.hwnd;
        splitter.leftPane = left;
        splitter.rightPane = right;
        window.setClientSize(clientWidth, clientHeight);
        ShowWindow(window.hwnd, SW_SHOWNA);
    }

    ~SplitWindow() {
        if (GetCapture() == window.hwnd)
            ReleaseCapture();
        // The window is the last member destroyed: its last messages must
        // not reach the splitter that is gone by then.
        window.owner = nullptr;
    }

    LRESULT onMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (splitter.onMouseMessage(message, wParam, lParam))
            return 0;
        if (message == WM_SIZE) {
            splitter.onSize(wParam, lParam);
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

    void press(int x) { send(WM_LBUTTONDOWN, MK_LBUTTON, x); }
    void moveTo(int x) { send(WM_MOUSEMOVE, MK_LBUTTON, x); }
    void release(int x) { send(WM_LBUTTONUP, 0, x); }
    void drag(int from, int to) {
        press(from);
        moveTo(to);
        release(to);
    }

    bool isDragging() const { return GetCapture() == window.hwnd; }

    // The pane's rectangle in the main window's client coordinates.
    RECT paneRect(HWND pane) const {
        RECT bounds;
        GetWindowRect(pane, &bounds);
        MapWindowPoints(nullptr, window.hwnd, reinterpret_cast<POINT*>(&bounds), 2);
        return bounds;
    }

    void expectPanesAround(int bar) const {
        RECT leftBounds = paneRect(left);
        RECT rightBounds = paneRect(right);
        RECT client;
        GetClientRect(window.hwnd, &client);
        EXPECT_EQ(leftBounds.left, 0);
        EXPECT_EQ(leftBounds.top, 0);
        EXPECT_EQ(leftBounds.right, bar);
        EXPECT_EQ(leftBounds.bottom, client.bottom);
        EXPECT_EQ(rightBounds.left, bar + 4);
        EXPECT_EQ(rightBounds.top, 0);
        EXPECT_EQ(rightBounds.right, std::max<LONG>(client.right, bar + 4));
        EXPECT_EQ(rightBounds.bottom, client.bottom);
    }

    Window window;
    Splitter splitter;
    HWND left = nullptr;
    HWND right = nullptr;

private:
    HWND makePane() {
        return CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, window.hwnd, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }

    void send(UINT message, WPARAM keys, int x) {
        SendMessageA(window.hwnd, message, keys, MAKELPARAM(x, y));
    }
};

class SplitterTest : public ::testing::Test {
protected:
    SplitWindow split;
};

TEST_F(SplitterTest, SizingLaysOutBothPanesAroundTheBar) {
    EXPECT_EQ(split.splitter.barHeight, clientHeight);
    split.expectPanesAround(100);

    // A new position moves nothing until the next size message.
    split.splitter.position = 150;
    split.expectPanesAround(100);
    split.window.setClientSize(clientWidth, clientHeight + 20);
    EXPECT_EQ(split.splitter.barHeight, clientHeight + 20);
    split.expectPanesAround(150);
}

TEST_F(SplitterTest, OnlyAPressOnTheFourPixelBarStartsADrag) {
    for (int x : {99, 104, 0, 300}) {
        split.press(x);
        EXPECT_FALSE(split.isDragging()) << "press at " << x;
        split.release(x);
    }
    for (int x : {100, 103}) {
        split.press(x);
        EXPECT_TRUE(split.isDragging()) << "press at " << x;
        EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_SIZEWE));
        split.release(x);
        EXPECT_FALSE(split.isDragging());
    }
    // Without a drag, moving over the bar only changes the cursor.
    split.moveTo(102);
    EXPECT_EQ(split.splitter.position, 100);
}

TEST_F(SplitterTest, BarFollowsTheCursorExactlyWhileDragging) {
    split.press(102);
    split.moveTo(150);
    EXPECT_EQ(split.splitter.position, 150);
    split.expectPanesAround(150);
    split.moveTo(60);
    EXPECT_EQ(split.splitter.position, 60);
    split.expectPanesAround(60);
    split.release(60);
    // Moves after the release leave the bar alone.
    split.moveTo(200);
    EXPECT_EQ(split.splitter.position, 60);
}

TEST_F(SplitterTest, DragStopsShortOfBothEdges) {
    split.press(100);
    split.moveTo(0);
    EXPECT_EQ(split.splitter.position, 100);
    split.moveTo(1);
    EXPECT_EQ(split.splitter.position, 1);
    split.moveTo(clientWidth - 3);
    EXPECT_EQ(split.splitter.position, 1);
    split.moveTo(clientWidth - 4);
    EXPECT_EQ(split.splitter.position, clientWidth - 4);
    split.expectPanesAround(clientWidth - 4);
    EXPECT_EQ(split.paneRect(split.right).right - split.paneRect(split.right).left, 0);
    split.release(clientWidth - 4);
}

TEST_F(SplitterTest, FastDragPastAnEdgeKeepsTheLastAcceptedPosition) {
    split.press(100);
    split.moveTo(250);
    split.moveTo(5000);
    EXPECT_EQ(split.splitter.position, 250);
    // Left of the client area: the coordinate arrives as a large unsigned
    // word, never as a negative position.
    split.moveTo(-30);
    EXPECT_EQ(split.splitter.position, 250);
    split.moveTo(-1);
    EXPECT_EQ(split.splitter.position, 250);
    split.expectPanesAround(250);
    split.release(-1);
    EXPECT_FALSE(split.isDragging());
}

TEST_F(SplitterTest, ReleaseAwayFromTheBarEndsTheDrag) {
    split.press(101);
    split.moveTo(180);
    split.release(320);
    EXPECT_FALSE(split.isDragging());
    split.moveTo(300);
    EXPECT_EQ(split.splitter.position, 180);
}

TEST_F(SplitterTest, LosingTheCaptureEndsTheDrag) {
    split.press(101);
    ReleaseCapture();
    split.moveTo(200);
    EXPECT_EQ(split.splitter.position, 100);
}

TEST_F(SplitterTest, ShrinkingTheWindowKeepsTheBarInsideWhereItCanBeGrabbed) {
    split.drag(100, 300);
    split.window.setClientSize(200, clientHeight);
    EXPECT_EQ(split.splitter.position, 300);
    split.expectPanesAround(196);
    EXPECT_EQ(split.paneRect(split.right).right - split.paneRect(split.right).left, 0);

    split.window.setClientSize(clientWidth, clientHeight);
    split.expectPanesAround(300);

    split.window.setClientSize(200, clientHeight);
    split.drag(197, 120);
    EXPECT_EQ(split.splitter.position, 120);
    split.expectPanesAround(120);
}

TEST_F(SplitterTest, BarAtZeroCanBeGrabbedAndDraggedRight) {
    split.splitter.position = 0;
    split.window.setClientSize(clientWidth, clientHeight + 10);
    split.expectPanesAround(0);
    split.press(0);
    EXPECT_TRUE(split.isDragging());
    split.moveTo(0);
    EXPECT_EQ(split.splitter.position, 0);
    split.moveTo(1);
    EXPECT_EQ(split.splitter.position, 1);
    split.expectPanesAround(1);
    split.release(1);
}

TEST(Splitter, WithoutWindowsItIgnoresEverything) {
    Splitter splitter(nullptr, nullptr, nullptr);
    EXPECT_EQ(splitter.position, 0);
    EXPECT_EQ(splitter.barWidth, 4);
    splitter.onSize(0, MAKELPARAM(400, 300));
    EXPECT_EQ(splitter.barHeight, 300);
    splitter.onLButtonDown(0, MAKELPARAM(2, 10));
    splitter.onMouseMove(0, MAKELPARAM(50, 10));
    splitter.onLButtonUp(0, MAKELPARAM(50, 10));
    EXPECT_EQ(splitter.position, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

} // namespace
