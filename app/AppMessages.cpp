// The main window's messages and commands: each routed to its handler (a
// menu item or a shortcut such as Ctrl+S arrives here as WM_COMMAND),
// greying menu items and colouring the list box.
#include "App.h"

#include <windowsx.h>

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
    if (dragListMessage != 0 && message == dragListMessage)
        return onDragListMessage(lParam);
    if (message == findDialog.notificationMessage()) {
        onFindNotification(lParam);
        return 0;
    }
    if (splitter.onMouseMessage(message, wParam, lParam))
        return 0;
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
    case WM_GETMINMAXINFO:
        onGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_CLOSE:
        requestExit();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE; // nothing to ask: the preferences are saved as it ends
    case WM_ENDSESSION:
        onEndSession(wParam != FALSE);
        return 0;
    case WM_ACTIVATE:
        return onActivate(hwnd, wParam, lParam);
    case WM_SYSCOMMAND:
        return onSysCommand(hwnd, wParam, lParam);
    case WM_COMMAND:
        onCommand(wParam, lParam);
        return 0;
    case WM_INITMENUPOPUP:
        onInitMenuPopup();
        return 0;
    case WM_CTLCOLORLISTBOX:
        return reinterpret_cast<LRESULT>(onCtlColorListBox(reinterpret_cast<HDC>(wParam)));
    case WM_CONTEXTMENU:
        // From the keyboard the position is -1, -1; a mouse press on the
        // list opens the menu in the message loop.
        if (reinterpret_cast<HWND>(wParam) == listBox.hwnd() && GET_X_LPARAM(lParam) == -1 &&
            GET_Y_LPARAM(lParam) == -1) {
            showContextMenuForSelection();
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_DROPFILES:
        onDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void App::onCommand(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(lParam) == listBox.hwnd()) {
        WORD code = HIWORD(wParam);
        if (code == LBN_SELCHANGE || code == LBN_SELCANCEL)
            onSelectionChange();
        return;
    }
    switch (LOWORD(wParam)) {
    case IDM_NEW: onNew(); break;
    case IDM_SAVE: onSave(); break;
    case IDM_SAVE_AS: onSaveAs(); break;
    case IDM_ADD: onAdd(); break;
    case IDM_REMOVE: onRemove(); break;
    case IDM_REMOVE_ALL: onRemoveAll(); break;
    case IDM_FONT: onFont(); break;
    case IDM_USER_GUIDE: onUserGuide(); break;
    case IDM_ABOUT: onAbout(); break;
    case IDM_OPEN: onOpen(); break;
    case IDM_EXIT: requestExit(); break;
    case IDM_SORT_ASCENDING: onSortAscending(); break;
    case IDM_SORT_DESCENDING: onSortDescending(); break;
    case IDM_TEXT_COLOR: onTextColor(); break;
    case IDM_BACKGROUND_COLOR: onBackgroundColor(); break;
    case IDM_SELECT_ALL: onSelectAll(); break;
    case IDM_MOVE_UP: onMoveUp(); break;
    case IDM_MOVE_DOWN: onMoveDown(); break;
    case IDM_FIND: onFind(); break;
    case IDM_FIND_NEXT: onFindAgain(RecordSearch::Direction::forward); break;
    case IDM_FIND_PREVIOUS: onFindAgain(RecordSearch::Direction::backward); break;
    case IDM_WORD_WRAP: onWordWrap(); break;
    case IDM_RECENT_FILE_1:
    case IDM_RECENT_FILE_2:
    case IDM_RECENT_FILE_3:
    case IDM_RECENT_FILE_4: onRecentFile(LOWORD(wParam) - IDM_RECENT_FILE_1); break;
    default: break; // IDOK and IDCANCEL from Enter and Escape among them
    }
}

void App::reportOutOfMemory() {
    showError("Out of memory!");
}

void App::onSize(WPARAM wParam, LPARAM lParam) {
    splitter.onSize(wParam, lParam);
    recordWindowState(wParam);
}

void App::onInitMenuPopup() {
    HMENU menu = GetMenu(mainWindow.hwnd);
    UINT needsSelection = listBox.selection() == -1 ? MF_GRAYED : MF_ENABLED;
    EnableMenuItem(menu, IDM_REMOVE, MF_BYCOMMAND | needsSelection);
    UINT needsRecords = records.size() == 0 ? MF_GRAYED : MF_ENABLED;
    for (UINT id : {IDM_REMOVE_ALL, IDM_SORT_ASCENDING, IDM_SORT_DESCENDING})
        EnableMenuItem(menu, id, MF_BYCOMMAND | needsRecords);
    EnableMenuItem(menu, IDM_MOVE_UP, MF_BYCOMMAND | (canMoveSelected(-1) ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, IDM_MOVE_DOWN, MF_BYCOMMAND | (canMoveSelected(1) ? MF_ENABLED : MF_GRAYED));
}

HBRUSH App::onCtlColorListBox(HDC dc) {
    SetTextColor(dc, textColor.get());
    SetBkColor(dc, backgroundColor.get());
    return backgroundBrush.handle();
}

