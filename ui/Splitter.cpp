#include "Splitter.h"

#include <algorithm>

namespace {

// The mouse coordinates as the unsigned 16-bit words they arrive in: a
// cursor left of the client area reads as about 65535, far past the right
// edge, and so can never move the bar to a negative position.
POINT pointOf(LPARAM lParam) {
    return POINT{LOWORD(lParam), HIWORD(lParam)};
}

void showSizingCursor() {
    SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
}

RECT clientRectOf(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    return client;
}

} // namespace

Splitter::Splitter(HWND parent, HWND leftPane, HWND rightPane)
    : parent(parent), leftPane(leftPane), rightPane(rightPane) {}

void Splitter::onLButtonDown(WPARAM, LPARAM lParam) {
    if (!isOnBar(lParam))
        return;
    showSizingCursor();
    SetCapture(parent);
}

void Splitter::onMouseMove(WPARAM, LPARAM lParam) {
    if (isOnBar(lParam))
        showSizingCursor();
    if (!isDragging())
        return;
    int x = LOWORD(lParam);
    // The bar follows the cursor's x exactly; a move it cannot follow
    // leaves it where it is rather than pulling it to the edge.
    if (!acceptsPosition(x))
        return;
    position = x;
    layout();
}

void Splitter::onLButtonUp(WPARAM, LPARAM lParam) {
    if (isOnBar(lParam))
        showSizingCursor();
    if (isDragging())
        ReleaseCapture();
}

void Splitter::onSize(WPARAM, LPARAM lParam) {
    barHeight = HIWORD(lParam);
    layout();
}

bool Splitter::onMouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        onLButtonDown(wParam, lParam);
        return true;
    case WM_MOUSEMOVE:
        onMouseMove(wParam, lParam);
        return true;
    case WM_LBUTTONUP:
        onLButtonUp(wParam, lParam);
        return true;
    default:
        return false;
    }
}

void Splitter::layout() {
    RECT client = clientRectOf(parent);
    int bar = barLeft();
    if (leftPane)
        SetWindowPos(leftPane, nullptr, 0, 0, bar, client.bottom, SWP_NOZORDER);
    if (rightPane) {
        // The pane is drawn anew where it lands: copying its old pixels
        // along left parts of the old picture behind at its left edge.
        int left = bar + barWidth;
        SetWindowPos(rightPane, nullptr, left, 0, client.right - left, client.bottom, SWP_NOZORDER | SWP_NOCOPYBITS);
    }
}

// A position past the right edge (a narrower window, a stored setting) is
// shown at the edge, where the bar can be grabbed and dragged back; the
// position itself is kept for when the window is wide enough again.
int Splitter::barLeft() const {
    return std::max(0, std::min(position, static_cast<int>(clientRectOf(parent).right) - barWidth));
}

bool Splitter::isOnBar(LPARAM lParam) const {
    int left = barLeft();
    RECT bar = {left, top, left + barWidth, barHeight};
    return PtInRect(&bar, pointOf(lParam)) != FALSE;
}

bool Splitter::isDragging() const {
    return parent != nullptr && GetCapture() == parent;
}

// Keeps at least one pixel of the left pane and the whole bar inside the
// client area.
bool Splitter::acceptsPosition(int x) const {
    return x != 0 && x + barWidth <= clientRectOf(parent).right;
}
