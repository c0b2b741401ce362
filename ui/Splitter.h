#pragma once

#include <windows.h>

// The bar between two side-by-side panes of a parent window's client area.
// Not a window: the parent passes on its mouse and size messages, the bar is
// the strip of the parent that neither pane covers. A drag lasts exactly as
// long as the parent holds the mouse capture. Owns no handles.
class Splitter {
public:
    Splitter(HWND parent, HWND leftPane, HWND rightPane);

    // Each takes the parent's message parameters; wParam is not used.
    void onLButtonDown(WPARAM wParam, LPARAM lParam);
    void onMouseMove(WPARAM wParam, LPARAM lParam);
    void onLButtonUp(WPARAM wParam, LPARAM lParam);
    void onSize(WPARAM wParam, LPARAM lParam);
    // Passes a mouse message of the parent to its handler above: true for
    // the button press, move and release the bar takes, false for any
    // other message, which the parent handles itself.
    bool onMouseMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Places the left pane up to the bar and the right pane from the bar's
    // right edge to the client area's right edge, both full height.
    void layout();
    // Where the bar shows: at position, but always inside the client area.
    int barLeft() const;

    int position = 0;     // left edge of the bar, the left pane's width
    // The bar spans the parent's client area from top to bottom: its top
    // edge is always 0, its height the client height of the last WM_SIZE.
    static constexpr int top = 0;
    int barWidth = 4;
    int barHeight = 0;
    HWND parent = nullptr;
    HWND leftPane = nullptr;
    HWND rightPane = nullptr;

private:
    bool isOnBar(LPARAM lParam) const;
    bool isDragging() const;
    bool acceptsPosition(int x) const;
};
