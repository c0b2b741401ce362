#include "EditRecreator.h"

#include "Window.h"

namespace {

// EM_GETSEL gives the selection's ends in order, whichever end the caret is
// at; the caret shows which, while the edit has the focus.
bool caretAtSelectionStart(HWND edit, DWORD start, DWORD end) {
    POINT caret;
    if (start == end || GetFocus() != edit || !GetCaretPos(&caret))
        return false;
    LRESULT place = SendMessageA(edit, EM_POSFROMCHAR, start, 0);
    return caret.x == static_cast<short>(LOWORD(place)) && caret.y == static_cast<short>(HIWORD(place));
}

} // namespace

EditRecreator::EditRecreator(HWND edit) : edit_(edit), text_(Window::textOf(edit)) {
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart_),
                 reinterpret_cast<LPARAM>(&selectionEnd_));
    caretAtStart_ = caretAtSelectionStart(edit, selectionStart_, selectionEnd_);
    LRESULT firstLine = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    firstVisibleChar_ = SendMessageA(edit, EM_LINEINDEX, firstLine, 0);
    modified_ = SendMessageA(edit, EM_GETMODIFY, 0, 0) != 0;
    focused_ = GetFocus() == edit;
}

HWND EditRecreator::recreate(DWORD addedStyles, DWORD removedStyles) const {
    HWND parent = GetParent(edit_);
    RECT place;
    GetWindowRect(edit_, &place);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
    DWORD style = (static_cast<DWORD>(GetWindowLongA(edit_, GWL_STYLE)) & ~removedStyles) | addedStyles;
    HWND edit = CreateWindowExA(static_cast<DWORD>(GetWindowLongA(edit_, GWL_EXSTYLE)), "EDIT", "",
                                style, place.left, place.top, place.right - place.left,
                                place.bottom - place.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(edit_))),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(edit_, GWLP_HINSTANCE)), nullptr);
    if (!edit)
        return nullptr;
    // An edit without the memory for the whole text would lose the rest
    // with the old one.
    if (!takeText(edit)) {
        DestroyWindow(edit);
        return nullptr;
    }
    // Right behind the old edit, which leaves that place to it.
    SetWindowPos(edit, edit_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    giveStateTo(edit);
    DestroyWindow(edit_);
    return edit;
}

bool EditRecreator::takeText(HWND edit) const {
    SendMessageA(edit, WM_SETFONT, SendMessageA(edit_, WM_GETFONT, 0, 0), FALSE);
    SendMessageA(edit, EM_SETLIMITTEXT, SendMessageA(edit_, EM_GETLIMITTEXT, 0, 0), 0);
    return SetWindowTextA(edit, text_.c_str()) != FALSE;
}

void EditRecreator::giveStateTo(HWND edit) const {
    SendMessageA(edit, EM_SETMODIFY, modified_, 0);
    if (focused_)
        SetFocus(edit);
    if (caretAtStart_)
        SendMessageA(edit, EM_SETSEL, selectionEnd_, selectionStart_);
    else
        SendMessageA(edit, EM_SETSEL, selectionStart_, selectionEnd_);
    scrollToFirstVisibleText(edit);
}

void EditRecreator::scrollToFirstVisibleText(HWND edit) const {
    LRESULT line = SendMessageA(edit, EM_LINEFROMCHAR, firstVisibleChar_, 0);
    LRESULT shown = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageA(edit, EM_LINESCROLL, 0, line - shown);
}
