// Finding text in the records: the Find box, searching again without it
// (F3, Shift+F3), and a match shown selected in its edit.
#include "App.h"

#include <string>

using Direction = RecordSearch::Direction;

namespace {

struct EditSelection {
    DWORD start;
    DWORD end;
};

EditSelection selectionOf(HWND edit) {
    EditSelection selection{0, 0};
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selection.start),
                 reinterpret_cast<LPARAM>(&selection.end));
    return selection;
}

// The edit's count of its whole text, in its own units.
std::size_t editLength(HWND edit) {
    LRESULT lastLineStart = SendMessageA(edit, EM_LINEINDEX, SendMessageA(edit, EM_GETLINECOUNT, 0, 0) - 1, 0);
    return static_cast<std::size_t>(lastLineStart + SendMessageA(edit, EM_LINELENGTH, lastLineStart, 0));
}

// An edit counts the places in its text in bytes of the ANSI code page, or
// in some implementations in characters. The two differ only on a
// double-byte code page; there the edit's own length tells which it counts.
struct EditText {
    std::string bytes;
    const LeadBytes& lead;
    bool countsCharacters = false;

    EditText(HWND edit, const LeadBytes& leadBytes) : lead(leadBytes) {
        if (!lead.any())
            return;
        bytes = Window::textOf(edit);
        countsCharacters = editLength(edit) != bytes.size();
    }

    std::size_t characterSize(std::size_t at) const {
        return lead.contains(static_cast<unsigned char>(bytes[at])) && at + 1 < bytes.size() ? 2 : 1;
    }

    // The edit's place of the byte at `offset`, the start of a character.
    std::size_t placeOf(std::size_t offset) const {
        if (!countsCharacters)
            return offset;
        std::size_t place = 0;
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

POINT screenPointOf(HWND edit, std::size_t offset) {
    LRESULT place = SendMessageA(edit, EM_POSFROMCHAR, offset, 0);
    POINT point{static_cast<short>(LOWORD(place)), static_cast<short>(HIWORD(place))};
    ClientToScreen(edit, &point);
    return point;
}

// Where the edit shows its text from `start` to `end` on the screen, within
// the edit: from the first character's line to the last's, a character
// taken as at most a line high in width; the whole width when the text runs
// over more than one line.
RECT screenRectOf(HWND edit, std::size_t start, std::size_t end, int lineHeight) {
    RECT client;
    GetClientRect(edit, &client);
    MapWindowPoints(edit, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    POINT first = screenPointOf(edit, start);
    POINT last = screenPointOf(edit, end > start ? end - 1 : start);
    RECT text{first.x, first.y, last.x + lineHeight, last.y + lineHeight};
    if (first.y != last.y) {
        text.left = client.left;
        text.right = client.right;
    }
    RECT shown;
    return IntersectRect(&shown, &text, &client) ? shown : text;
}

} // namespace

// The lead bytes of the system's ANSI code page, in which the records'
// text is: none on single-byte code pages.
LeadBytes App::codePageLeadBytes() {
    LeadBytes lead;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        if (IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(byte)))
            lead.add(static_cast<unsigned char>(byte));
    return lead;
}

void App::onFind() {
    findDialog.open(mainWindow.hwnd);
}

// Before the first search there is nothing to repeat: the box asks for it.
void App::onFindAgain(Direction direction) {
    if (findDialog.text()[0] == '\0')
        onFind();
    else
        search(direction, true);
}

void App::onFindNotification(LPARAM lParam) {
    switch (findDialog.onNotification(lParam)) {
    case FindDialog::Request::findNext:
        search(findDialog.searchDown() ? Direction::forward : Direction::backward, false);
        break;
    case FindDialog::Request::closed:
        // The user goes on at the match, which its edit shows selected only
        // while it has the focus.
        if (shownMatch)
            SetFocus(matchEdit());
        break;
    case FindDialog::Request::none:
        break;
    }
}

// The panel goes into its record first, so that the search sees what the
// user sees. Searching from the box leaves the focus there.
void App::search(Direction direction, bool focusMatch) {
    commitEditor();
    RecordSearch textSearch(findDialog.text(), findDialog.matchCase(), leadBytes);
    std::optional<TextPlace> match = textSearch.find(records, searchStart(direction), direction);
    if (!match) {
        reportNotFound();
        return;
    }
    showItem(static_cast<int>(match->record));
    shownMatch = match;
    shownMatchLength = textSearch.length();
    HWND edit = matchEdit();
    if (focusMatch)
        SetFocus(edit);
    EditText shown(edit, leadBytes);
    std::size_t start = shown.placeOf(match->offset);
    std::size_t end = shown.placeOf(match->offset + shownMatchLength);
    SendMessageA(edit, EM_SETSEL, start, end);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    findDialog.keepClearOf(screenRectOf(edit, start, end, font.lineHeight()));
}

// After the match the panel shows (or, going back, before it); once the
// user has typed in its edit or moved the caret there, which leaves other
// than the match selected, after (before) the caret or selection, as a text
// editor goes on. Else after (before) the selected record; with nothing
// selected, from the beginning (the end).
TextPlace App::searchStart(Direction direction) const {
    bool forward = direction == Direction::forward;
    if (shownMatch && shownMatch->record == static_cast<std::size_t>(currentIndex)) {
        EditSelection selection = selectionOf(matchEdit());
        EditText shown(matchEdit(), leadBytes);
        std::size_t start = shown.offsetOf(selection.start);
        std::size_t end = shown.offsetOf(selection.end);
        TextPlace from = *shownMatch;
        if (start != from.offset || end != from.offset + shownMatchLength)
            from.offset = forward ? end : start;
        else if (forward)
            ++from.offset;
        return from;
    }
    int sel = listBox.selection();
    if (sel == -1)
        return {forward ? 0 : records.size(), RecordField::name, 0};
    return {static_cast<std::size_t>(forward ? sel + 1 : sel), RecordField::name, 0};
}

HWND App::matchEdit() const {
    return shownMatch->field == RecordField::name ? editor->nameEdit() : editor->valueEdit();
}

// Owned by the box when it is open: the box waits while the message shows
// and has the focus again after it.
void App::reportNotFound() {
    std::string message = std::string("Cannot find \"") + findDialog.text() + "\".";
    HWND owner = findDialog.hwnd() ? findDialog.hwnd() : mainWindow.hwnd;
    MessageBoxA(owner, message.c_str(), "Find", MB_OK | MB_ICONINFORMATION);
}
