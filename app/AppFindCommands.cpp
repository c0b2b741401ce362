// Finding text in the records: the Find box, searching again without it
// (F3, Shift+F3), and a match shown selected in its edit.
#include "App.h"

#include <string>

using Direction = RecordSearch::Direction;

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
    HWND edit = matchEdit();
    if (focusMatch)
        SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, match->offset, match->offset + textSearch.length());
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

// After the match the panel shows (or, going back, before it); else after
// (before) the selected record; with nothing selected, from the beginning
// (the end).
TextPlace App::searchStart(Direction direction) const {
    bool forward = direction == Direction::forward;
    if (shownMatch && shownMatch->record == static_cast<std::size_t>(currentIndex)) {
        TextPlace from = *shownMatch;
        if (forward)
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
