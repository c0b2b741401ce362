// Finding text in the records: the Find box, searching again without it
// (F3, Shift+F3), and a match shown selected in its edit.
#include "App.h"

#include <string>

using Direction = RecordSearch::Direction;

// The lead bytes of the system's ANSI code page, in which the records'
// text is: none on single-byte code pages.
LeadBytes App::codePageLeadBytes() {
    LeadBytes lead;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        if (IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(byte)))
            lead.add(static_cast<unsigned char>(byte));
    return lead;
}

// While the box has the focus, the panel's edits show their selection
// anyway: the match, which the user reads before going on.
void App::onFind() {
    if (findDialog.open(mainWindow.hwnd))
        showSelectionsWithoutFocus(true);
}

void App::showSelectionsWithoutFocus(bool show) {
    editor->nameControl().showSelectionWithoutFocus(show);
    editor->valueControl().showSelectionWithoutFocus(show);
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
        // The user goes on at the match.
        showSelectionsWithoutFocus(false);
        if (shownMatch)
            SetFocus(matchField().hwnd());
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
    EditControl& field = matchField();
    if (focusMatch)
        SetFocus(field.hwnd());
    std::size_t end = match->offset + shownMatchLength;
    field.select(match->offset, end);
    field.scrollSelectionIntoView();
    findDialog.keepClearOf(field.screenRectOf(match->offset, end));
}

// After the match the panel shows (or, going back, before it); once the
// user has typed in its edit or moved the caret there, which leaves other
// than the match selected, after (before) the caret or selection, as a text
// editor goes on. Else the record the panel shows is searched first, from
// its name on (going back, from the end of its value); with none shown,
// from the beginning (the end).
TextPlace App::searchStart(Direction direction) const {
    bool forward = direction == Direction::forward;
    if (shownMatch && shownMatch->record == static_cast<std::size_t>(currentIndex)) {
        EditControl::Selection selection = matchField().selection();
        TextPlace from = *shownMatch;
        if (selection.start != from.offset || selection.end != from.offset + shownMatchLength)
            from.offset = forward ? selection.end : selection.start;
        else if (forward)
            ++from.offset;
        return from;
    }
    if (currentIndex == -1)
        return {forward ? 0 : records.size(), RecordField::name, 0};
    return {static_cast<std::size_t>(forward ? currentIndex : currentIndex + 1), RecordField::name, 0};
}

EditControl& App::matchField() const {
    return shownMatch->field == RecordField::name ? editor->nameControl() : editor->valueControl();
}

// Owned by the box when it is open: the box waits while the message shows
// and has the focus again after it.
void App::reportNotFound() {
    std::string message = std::string("Cannot find \"") + findDialog.text() + "\".";
    HWND owner = findDialog.hwnd() ? findDialog.hwnd() : mainWindow.hwnd;
    MessageBoxA(owner, message.c_str(), "Find", MB_OK | MB_ICONINFORMATION);
}
