// Reordering records by dragging their names in the list box, and the
// list box's context menu (the Records menu).
#include "App.h"

#include <algorithm>
#include <new>

namespace {

bool isValidIndex(int index, std::size_t count) {
    return static_cast<unsigned>(index) < count;
}

} // namespace

// Any program on the desktop can register the drag-list message and send or
// post it with any pointer, and the modal loops of message boxes, menus and
// dialogs dispatch a posted one. Only our list box sends the real one: from
// inside its own window procedure, on this thread, one at a time.
bool App::isOwnDragNotification(LPARAM lParam) const {
    if (!listBox.isInItsProcedure() || handlingDragNotification || InSendMessageEx(nullptr) != ISMEX_NOSEND ||
        lParam == 0)
        return false;
    return reinterpret_cast<const DRAGLISTINFO*>(lParam)->hWnd == listBox.hwnd();
}

// Running out of memory is reported here, so that no forged notification
// is taken while the message box is open.
LRESULT App::onDragListMessage(LPARAM lParam) {
    if (!isOwnDragNotification(lParam))
        return 0;
    handlingDragNotification = true;
    LRESULT result = 0;
    try {
        result = onDragList(*reinterpret_cast<const DRAGLISTINFO*>(lParam));
    } catch (const std::bad_alloc&) {
        reportOutOfMemory();
    }
    handlingDragNotification = false;
    return result;
}

LRESULT App::onDragList(const DRAGLISTINFO& info) {
    switch (info.uNotification) {
    case DL_BEGINDRAG: return onBeginDrag(info);
    case DL_DRAGGING: return onDragging(info);
    case DL_DROPPED: return onDropped(info);
    case DL_CANCELDRAG: eraseInsertionMark(); return 0;
    default: return 0;
    }
}

LRESULT App::onBeginDrag(const DRAGLISTINFO& info) {
    int item = listBox.itemAt(info.ptCursor, true);
    if (!isValidIndex(item, records.size()))
        return FALSE;
    showItem(item);
    dragSourceIndex = item;
    return TRUE;
}

LRESULT App::onDragging(const DRAGLISTINFO& info) {
    int item = listBox.itemAt(info.ptCursor, true);
    if (item != -1)
        drawInsertionMark(item);
    if (item != markedItem)
        eraseInsertionMark();
    markedItem = item;
    return DL_COPYCURSOR;
}

// The mark is drawn outside the list box's painting: the row repaints
// without it.
void App::eraseInsertionMark() {
    RECT rect;
    // A row that no longer exists has nothing left to repaint.
    if (markedItem != -1 && listBox.itemRect(markedItem, rect))
        InvalidateRect(listBox.hwnd(), &rect, TRUE);
    markedItem = -1;
}

// A one-pixel black line across the top edge of the item: where a dragged
// record will land.
void App::drawInsertionMark(int item) {
    RECT rect;
    if (!listBox.itemRect(item, rect))
        return;
    HDC dc = GetDC(listBox.hwnd());
    MoveToEx(dc, rect.left, rect.top, nullptr);
    LineTo(dc, rect.right, rect.top);
    ReleaseDC(listBox.hwnd(), dc);
}

// The record lands just before the item it is dropped on; on itself or on
// the next item nothing moves.
LRESULT App::onDropped(const DRAGLISTINFO& info) {
    eraseInsertionMark();
    int source = dragSourceIndex;
    int target = listBox.itemAt(info.ptCursor, true);
    std::size_t count = records.size();
    if (!isValidIndex(target, count) || !isValidIndex(source, count) || target == source || target == source + 1)
        return 0;
    if (target > source)
        --target;
    moveRecord(source, target);
    dragSourceIndex = -1;
    return 0;
}

void App::showContextMenu() {
    POINT position;
    GetCursorPos(&position);
    int item = listBox.itemAt(position, false);
    if (item != -1)
        showItem(item);
    trackContextMenu(position);
}

// Shift+F10 or the menu key: the menu is for the selected record and opens
// below its item (within the list, should the item be scrolled away), or at
// the list's top-left corner when nothing is selected.
void App::showContextMenuForSelection() {
    POINT position = {0, 0};
    int item = listBox.selection();
    RECT rect, client;
    if (item != -1) {
        showItem(item);
        if (listBox.itemRect(item, rect) && GetClientRect(listBox.hwnd(), &client))
            position = {rect.left, std::clamp(rect.bottom, client.top, client.bottom)};
    }
    ClientToScreen(listBox.hwnd(), &position);
    trackContextMenu(position);
}

void App::trackContextMenu(POINT position) {
    if (contextMenu)
        TrackPopupMenu(contextMenu, 0, position.x, position.y, 0, mainWindow.hwnd, nullptr);
}
