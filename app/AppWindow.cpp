// The main window's messages: routing each to its handler, keeping the
// window's placement in the settings, greying menu items and colouring the
// list box.
#include "App.h"

#include <new>

#include "resource.h"

// A command that runs out of memory is abandoned and the user told, instead
// of the process ending with the unsaved work. The records stay consistent:
// what can run out (an edit's text, a list's copy) is taken before a record
// changes.
LRESULT App::onMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return routeMessage(hwnd, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        reportOutOfMemory();
        return 0;
    }
}

LRESULT App::routeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (closing) {
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (dragListMessage != 0 && message == dragListMessage && isOwnDragNotification(lParam))
        return onDragList(*reinterpret_cast<const DRAGLISTINFO*>(lParam));
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_MOVE:
        onMove();
        return 0;
    case WM_SIZE:
        onSize(wParam, lParam);
        return 0;
    case WM_CLOSE:
        requestExit();
        return 0;
    case WM_ACTIVATE:
        return onActivate(hwnd, wParam, lParam);
    case WM_COMMAND:
        onCommand(wParam, lParam);
        return 0;
    case WM_INITMENUPOPUP:
        onInitMenuPopup();
        return 0;
    case WM_CTLCOLORLISTBOX:
        return reinterpret_cast<LRESULT>(onCtlColorListBox(reinterpret_cast<HDC>(wParam)));
    case WM_MOUSEMOVE:
        splitter.onMouseMove(wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        splitter.onLButtonDown(wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
        splitter.onLButtonUp(wParam, lParam);
        return 0;
    case WM_DROPFILES:
        onDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

LRESULT App::onActivate(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    LRESULT result = DefWindowProcA(hwnd, WM_ACTIVATE, wParam, lParam);
    if (LOWORD(wParam) != WA_INACTIVE)
        keepKeyboardFocus();
    return result;
}

void App::reportOutOfMemory() {
    showError("Out of memory!");
}

// The settings keep the last normal placement: a maximised or minimised
// window's position is never recorded.
void App::onMove() {
    if (IsZoomed(mainWindow.hwnd) || IsIconic(mainWindow.hwnd))
        return;
    recordPlacement(false);
}

void App::onSize(WPARAM wParam, LPARAM lParam) {
    splitter.onSize(wParam, lParam);
    if (wParam == SIZE_MAXIMIZED) {
        settings.setWindowMaximized(true);
    } else if (wParam == SIZE_RESTORED) {
        settings.setWindowMaximized(false);
        recordPlacement(true);
    }
}

void App::recordPlacement(bool withSize) {
    RECT r;
    GetWindowRect(mainWindow.hwnd, &r);
    settings.setWindowX(r.left);
    settings.setWindowY(r.top);
    if (!withSize)
        return;
    settings.setWindowWidth(r.right - r.left);
    settings.setWindowHeight(r.bottom - r.top);
}

void App::onInitMenuPopup() {
    HMENU menu = GetMenu(mainWindow.hwnd);
    UINT needsSelection = listBox.selection() == -1 ? MF_GRAYED : MF_ENABLED;
    EnableMenuItem(menu, IDM_REMOVE, MF_BYCOMMAND | needsSelection);
    UINT needsRecords = records.size() == 0 ? MF_GRAYED : MF_ENABLED;
    for (UINT id : {IDM_REMOVE_ALL, IDM_SORT_ASCENDING, IDM_SORT_DESCENDING})
        EnableMenuItem(menu, id, MF_BYCOMMAND | needsRecords);
}

HBRUSH App::onCtlColorListBox(HDC dc) {
    SetTextColor(dc, textColor.get());
    SetBkColor(dc, backgroundColor.get());
    return backgroundBrush.handle();
}

