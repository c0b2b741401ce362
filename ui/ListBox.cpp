#include "ListBox.h"

#include <commctrl.h>

ListBox::~ListBox() {
    release();
}

void ListBox::attach(HWND window) {
    hwnd_ = window;
    procedure_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

bool ListBox::makeDragList() {
    if (!MakeDragList(hwnd_))
        return false;
    // The window's user data links it to this object: read on every message,
    // it costs nothing, where a window property is a trip to the server.
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    wrapped_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&countingProcedure)));
    return true;
}

// Every message the list box gets passes here first, so depth_ tells
// whether its procedure, the drag list's part included, is running.
LRESULT CALLBACK ListBox::countingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ListBox*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    WNDPROC wrapped = self->wrapped_;
    if (message == WM_NCDESTROY)
        self->release();
    ++self->depth_;
    LRESULT result = CallWindowProcA(wrapped, window, message, wParam, lParam);
    --self->depth_;
    return result;
}

// The window gets back the procedure it had, unless it is gone or another
// has been put over this one since.
void ListBox::release() {
    if (!wrapped_)
        return;
    if (IsWindow(hwnd_) &&
        GetWindowLongPtrA(hwnd_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&countingProcedure))
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wrapped_));
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    wrapped_ = nullptr;
}

// The list box's own messages go straight to its procedure: the drag list's
// subclass passes them on unchanged, and going through it would add its
// cost to every item of a large list being filled.
LRESULT ListBox::send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return CallWindowProcA(procedure_, hwnd_, message, wParam, lParam);
}

int ListBox::count() const {
    return static_cast<int>(send(LB_GETCOUNT, 0, 0));
}

int ListBox::itemHeight() const {
    return static_cast<int>(send(LB_GETITEMHEIGHT, 0, 0));
}

void ListBox::add(const std::string& text) {
    addText(text.c_str());
}

void ListBox::addText(const char* text) {
    send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void ListBox::insert(int index, const std::string& text) {
    send(LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
}

void ListBox::remove(int index) {
    send(LB_DELETESTRING, index, 0);
}

void ListBox::clear() {
    send(LB_RESETCONTENT, 0, 0);
}

std::string ListBox::text(int index) const {
    LRESULT length = send(LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    LRESULT copied = send(LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

int ListBox::selection() const {
    return static_cast<int>(send(LB_GETCURSEL, 0, 0));
}

void ListBox::select(int index) {
    send(LB_SETCURSEL, index, 0);
}

void ListBox::setHorizontalExtent(int width) {
    send(LB_SETHORIZONTALEXTENT, width, 0);
}

// The item is deleted and inserted again with redrawing off, because every
// change in the number of items redraws the scroll bars, and a keystroke in
// the Name edit renews an item: the user would wait for those redraws at
// every key.
void ListBox::renew(int index, const std::string& text, bool select) {
    beginChanges();
    remove(index);
    insert(index, text);
    if (select)
        this->select(index);
    endChanges(false);
}

void ListBox::beginChanges() {
    send(WM_SETREDRAW, FALSE, 0);
}

void ListBox::endChanges(bool erase) {
    send(WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, erase);
}

bool ListBox::itemRect(int index, RECT& rect) const {
    return send(LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)) != LB_ERR;
}

int ListBox::itemAt(POINT screenPoint, bool autoScroll) const {
    return LBItemFromPt(hwnd_, screenPoint, autoScroll);
}
