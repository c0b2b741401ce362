#include "EditControl.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

#include "Window.h"

namespace {

// How many lines a selection scrolled into view stands inside the field,
// where the field has that many to spare.
constexpr int linesInside = 3;

bool codePageHasLeadBytes() {
    static const bool any = [] {
        CPINFO info;
        return GetCPInfo(CP_ACP, &info) && info.LeadByte[0] != 0;
    }();
    return any;
}

bool isMultiLine(HWND edit) {
    return (GetWindowLongA(edit, GWL_STYLE) & ES_MULTILINE) != 0;
}

// The edit's count of its whole text, in its own units.
std::size_t lengthOf(HWND edit) {
    LRESULT lastLineStart = SendMessageA(edit, EM_LINEINDEX, SendMessageA(edit, EM_GETLINECOUNT, 0, 0) - 1, 0);
    return static_cast<std::size_t>(lastLineStart + SendMessageA(edit, EM_LINELENGTH, lastLineStart, 0));
}

// An edit counts the places in its text in bytes of the ANSI code page, or
// in some implementations in characters. The two differ only on a
// double-byte code page; there the edit's own length tells which it counts.
struct Places {
    std::string bytes;
    bool countsCharacters = false;

    // The text is read where the places need it, or where the caller does.
    Places(HWND edit, bool withText) {
        if (!withText && !codePageHasLeadBytes())
            return;
        bytes = Window::textOf(edit);
        countsCharacters = codePageHasLeadBytes() && lengthOf(edit) != bytes.size();
    }

    std::size_t characterSize(std::size_t at) const {
        return IsDBCSLeadByte(static_cast<BYTE>(bytes[at])) && at + 1 < bytes.size() ? 2 : 1;
    }

    // The edit's place of the byte at `offset`, the start of a character.
    WPARAM placeOf(std::size_t offset) const {
        if (!countsCharacters)
            return offset;
        WPARAM place = 0;
        for (std::size_t at = 0; at < offset && at < bytes.size(); at += characterSize(at))
            ++place;
        return place;
    }

    // The offset of the byte at the edit's place.
    std::size_t offsetOf(std::size_t place) const {
        if (!countsCharacters)
            return place;
        std::size_t at = 0;
        for (; place > 0 && at < bytes.size(); --place)
            at += characterSize(at);
        return at;
    }
};

POINT pointOf(HWND edit, WPARAM place) {
    LRESULT point = SendMessageA(edit, EM_POSFROMCHAR, place, 0);
    return {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
}

// EM_GETSEL gives the selection's ends in order, whichever end the caret is
// at; the caret shows which, while the edit has the focus.
bool caretAtSelectionStart(HWND edit, DWORD start, DWORD end) {
    POINT caret;
    if (start == end || GetFocus() != edit || !GetCaretPos(&caret))
        return false;
    POINT startPoint = pointOf(edit, start);
    return caret.x == startPoint.x && caret.y == startPoint.y;
}

// The text Undo would bring back: an edit undoes its last change, and
// undoing that brings the change back. None, with nothing to undo.
std::optional<std::string> undoneText(HWND edit, const std::string& text) {
    if (!SendMessageA(edit, EM_CANUNDO, 0, 0))
        return std::nullopt;
    SendMessageA(edit, EM_UNDO, 0, 0);
    std::string undone = Window::textOf(edit);
    SendMessageA(edit, EM_UNDO, 0, 0);
    if (Window::textOf(edit) != text)
        return std::nullopt;
    return undone;
}

// How many bytes two texts have in common at their start, in whole
// characters.
std::size_t commonStart(const std::string& a, const std::string& b) {
    std::size_t at = 0;
    for (std::size_t size = 1; at < a.size() && at < b.size(); at += size) {
        size = IsDBCSLeadByte(static_cast<BYTE>(a[at])) && at + 1 < a.size() ? 2 : 1;
        if (a.compare(at, size, b, at, size) != 0)
            break;
    }
    return at;
}

// How many bytes two texts have in common at their end, after `start`.
std::size_t commonEnd(const std::string& a, const std::string& b, std::size_t start) {
    std::size_t end = 0;
    while (end + start < a.size() && end + start < b.size() && a[a.size() - 1 - end] == b[b.size() - 1 - end])
        ++end;
    return end;
}

// What the user had in an edit, to give to the edit made in its place.
struct EditState {
    std::string text;
    DWORD selectionStart = 0;
    DWORD selectionEnd = 0;
    bool caretAtStart = false;
    // The first character of the first visible line: with wrapping
    // switched, the line that holds it is the nearest to what was shown.
    LRESULT firstVisibleChar = 0;
    bool modified = false;
    bool focused = false;

    explicit EditState(HWND edit) : text(Window::textOf(edit)) {
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                     reinterpret_cast<LPARAM>(&selectionEnd));
        caretAtStart = caretAtSelectionStart(edit, selectionStart, selectionEnd);
        firstVisibleChar = SendMessageA(edit, EM_LINEINDEX, SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
        modified = SendMessageA(edit, EM_GETMODIFY, 0, 0) != 0;
        focused = GetFocus() == edit;
    }
};

} // namespace

EditControl::~EditControl() {
    detach();
}

void EditControl::attach(HWND edit) {
    detach();
    hwnd_ = edit;
    if (edit)
        SetWindowSubclass(edit, &subclassProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
}

void EditControl::detach() {
    if (hwnd_)
        RemoveWindowSubclass(hwnd_, &subclassProcedure, 0);
    hwnd_ = nullptr;
}

LRESULT CALLBACK EditControl::subclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR data) {
    auto* self = reinterpret_cast<EditControl*>(data);
    if (message == WM_NCDESTROY && self->hwnd_ == window)
        self->detach();
    LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_PAINT && self->hwnd_ == window && self->selectionShownWithoutFocus_)
        self->drawSelectionWithoutFocus();
    return result;
}

LRESULT EditControl::send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(hwnd_, message, wParam, lParam);
}

std::string EditControl::text() const {
    return Window::textOf(hwnd_);
}

void EditControl::setText(const std::string& text) {
    SetWindowTextA(hwnd_, text.c_str());
}

void EditControl::liftTextLimit() {
    send(EM_LIMITTEXT, 0, 0);
}

RECT EditControl::formattingRect() const {
    RECT rect = {};
    send(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

EditControl::Selection EditControl::selection() const {
    DWORD start = 0, end = 0;
    send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    Places places(hwnd_, false);
    return {places.offsetOf(start), places.offsetOf(end), caretAtSelectionStart(hwnd_, start, end)};
}

void EditControl::select(std::size_t anchor, std::size_t caret) {
    Places places(hwnd_, false);
    send(EM_SETSEL, places.placeOf(anchor), static_cast<LPARAM>(places.placeOf(caret)));
    if (selectionShownWithoutFocus_)
        InvalidateRect(hwnd_, nullptr, TRUE);
}

void EditControl::selectAll() {
    send(EM_SETSEL, 0, -1);
}

// The edit brings the caret to the nearest edge of the field; from there
// the field scrolls on until the selection's first line stands a few lines
// inside.
void EditControl::scrollSelectionIntoView() {
    send(EM_SCROLLCARET);
    if (!isMultiLine(hwnd_))
        return;
    RECT text = formattingRect();
    int visible = std::max(1, static_cast<int>(text.bottom - text.top) / lineHeight());
    int margin = std::min(linesInside, (visible - 1) / 2);
    int line = static_cast<int>(send(EM_LINEFROMCHAR, static_cast<WPARAM>(-1)));
    int row = line - firstVisibleLine();
    int shift = row < margin ? row - margin : row > visible - 1 - margin ? row - (visible - 1 - margin) : 0;
    if (shift != 0)
        send(EM_LINESCROLL, 0, shift);
}

int EditControl::firstVisibleLine() const {
    return isMultiLine(hwnd_) ? static_cast<int>(send(EM_GETFIRSTVISIBLELINE)) : 0;
}

int EditControl::lineHeight() const {
    HDC dc = GetDC(hwnd_);
    auto font = reinterpret_cast<HGDIOBJ>(send(WM_GETFONT));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    if (previous)
        SelectObject(dc, previous);
    ReleaseDC(hwnd_, dc);
    return std::max(1, static_cast<int>(metrics.tmHeight));
}

// From the first character's line to the last's, a character taken as at
// most a line high in width; the whole width when the text runs over more
// than one line.
RECT EditControl::screenRectOf(std::size_t start, std::size_t end) const {
    Places places(hwnd_, false);
    WPARAM first = places.placeOf(start);
    WPARAM last = places.placeOf(end);
    int height = lineHeight();
    POINT from = pointOf(hwnd_, first);
    POINT to = pointOf(hwnd_, last > first ? last - 1 : first);
    RECT client;
    GetClientRect(hwnd_, &client);
    RECT text{from.x, from.y, to.x + height, to.y + height};
    if (from.y != to.y) {
        text.left = client.left;
        text.right = client.right;
    }
    RECT shown;
    if (!IntersectRect(&shown, &text, &client))
        shown = text;
    MapWindowPoints(hwnd_, HWND_DESKTOP, reinterpret_cast<POINT*>(&shown), 2);
    return shown;
}

void EditControl::showSelectionWithoutFocus(bool show) {
    if (show == selectionShownWithoutFocus_)
        return;
    selectionShownWithoutFocus_ = show;
    InvalidateRect(hwnd_, nullptr, TRUE);
}

// Over what the edit drew: each visible line's part of the selection in the
// colours of selected text, as the edit draws it (tabs expanded from the
// line's start, as the edit expands them).
void EditControl::drawSelectionWithoutFocus() const {
    DWORD start = 0, end = 0;
    send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start == end || GetFocus() == hwnd_)
        return;
    Places places(hwnd_, true);
    RECT text = formattingRect();
    int first = std::max(static_cast<int>(send(EM_LINEFROMCHAR, start)), firstVisibleLine());
    int last = std::min(static_cast<int>(send(EM_LINEFROMCHAR, end)),
                        firstVisibleLine() + static_cast<int>(text.bottom - text.top) / lineHeight());
    HDC dc = GetDC(hwnd_);
    IntersectClipRect(dc, text.left, text.top, text.right, text.bottom);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(send(WM_GETFONT)));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    SetBkMode(dc, OPAQUE);
    for (int line = first; line <= last; ++line) {
        auto lineStart = static_cast<DWORD>(send(EM_LINEINDEX, line));
        auto lineEnd = lineStart + static_cast<DWORD>(send(EM_LINELENGTH, lineStart));
        DWORD from = std::max(start, lineStart), to = std::min(end, lineEnd);
        if (from >= to)
            continue;
        std::size_t offset = places.offsetOf(from);
        int bytes = static_cast<int>(places.offsetOf(to) - offset);
        std::wstring wide(static_cast<std::size_t>(bytes), L'\0');
        wide.resize(static_cast<std::size_t>(
            MultiByteToWideChar(CP_ACP, 0, places.bytes.data() + offset, bytes, wide.data(), bytes)));
        POINT at = pointOf(hwnd_, from);
        TabbedTextOutW(dc, at.x, at.y, wide.c_str(), static_cast<int>(wide.size()), 0, nullptr,
                       pointOf(hwnd_, lineStart).x);
    }
    SelectObject(dc, previous);
    ReleaseDC(hwnd_, dc);
}

bool EditControl::recreate(DWORD addedStyles, DWORD removedStyles) {
    EditState state(hwnd_);
    HWND parent = GetParent(hwnd_);
    RECT place;
    GetWindowRect(hwnd_, &place);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
    DWORD style = (static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)) & ~removedStyles) | addedStyles;
    HWND edit = CreateWindowExA(static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_EXSTYLE)), "EDIT", "", style,
                                place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(hwnd_))),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE)), nullptr);
    if (!edit)
        return false;
    SendMessageA(edit, WM_SETFONT, send(WM_GETFONT), FALSE);
    SendMessageA(edit, EM_SETLIMITTEXT, send(EM_GETLIMITTEXT), 0);
    // An edit without the memory for the whole text would lose the rest
    // with the old one.
    if (!SetWindowTextA(edit, state.text.c_str())) {
        DestroyWindow(edit);
        return false;
    }
    std::optional<std::string> undone = undoneText(hwnd_, state.text);
    // Right behind the old edit, which leaves that place to it.
    SetWindowPos(edit, hwnd_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HWND old = hwnd_;
    attach(edit);
    if (undone)
        takeUndo(*undone, state.text);
    if (text() != state.text) {
        attach(old);
        DestroyWindow(edit);
        return false;
    }
    send(EM_SETMODIFY, state.modified);
    if (state.focused)
        SetFocus(edit);
    if (state.caretAtStart)
        send(EM_SETSEL, state.selectionEnd, state.selectionStart);
    else
        send(EM_SETSEL, state.selectionStart, state.selectionEnd);
    send(EM_LINESCROLL, 0, send(EM_LINEFROMCHAR, state.firstVisibleChar) - send(EM_GETFIRSTVISIBLELINE));
    DestroyWindow(old);
    return true;
}

// The edit holds `before`, then the change to `after` made as one step,
// which Undo takes back; where the change does not come out so, it is given
// `after` with nothing to undo.
void EditControl::takeUndo(const std::string& before, const std::string& after) {
    std::size_t start = commonStart(before, after);
    std::size_t end = commonEnd(before, after, start);
    setText(before);
    select(start, before.size() - end);
    std::string inserted = after.substr(start, after.size() - end - start);
    send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(inserted.c_str()));
    if (text() != after)
        setText(after);
}
