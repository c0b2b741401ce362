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
    RecordSearch textSearch(findDialog.text(), findDialog.matchCase());
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
    std::size_t end = match->offset + shownMatchLength;
    SendMessageA(edit, EM_SETSEL, match->offset, end);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    findDialog.keepClearOf(screenRectOf(edit, match->offset, end, font.lineHeight()));
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
        TextPlace from = *shownMatch;
        if (selection.start != from.offset || selection.end != from.offset + shownMatchLength)
            from.offset = forward ? selection.end : selection.start;
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
