// Keeping the list box and the record panel in step with the records: item
// i of the list is always the name of record i, and the panel shows record
// currentIndex. Showing a record, committing the panel back into it, and the
// list following the Name edit as the user types.
#include "App.h"

#include <new>

namespace {

// Whether an edit's text is what the edit shows of the field: an edit holds
// text only up to its first NUL byte.
bool readsAs(const std::string& text, const std::string& field) {
    return text == field.c_str();
}

// The text the user left in an edit replaces the field only when it reads
// differently from how the field was shown, so that looking at a record
// never shortens it.
void takeEditText(const std::string& text, std::string& field) {
    if (!readsAs(text, field))
        field = text;
}

} // namespace

void App::showSelection() {
    int sel = listBox.selection();
    bool enable = sel != -1;
    if (enable) {
        const Record& record = records.at(sel);
        editor->setNameText(record.name());
        editor->setValueText(record.value());
    } else {
        // Emptying an edit that is already empty changes nothing that shows,
        // yet repaints the Value edit's scroll bars, after every sort; the
        // edits are disabled next, so nothing else can show.
        if (GetWindowTextLengthA(editor->nameEdit()) != 0)
            editor->setNameText("");
        if (GetWindowTextLengthA(editor->valueEdit()) != 0)
            editor->setValueText("");
    }
    EnableWindow(editor->nameEdit(), enable);
    EnableWindow(editor->valueEdit(), enable);
    currentIndex = sel;
    shownMatch.reset();
    keepKeyboardFocus();
}

void App::commitEditor() {
    if (currentIndex == -1)
        return;
    int sel = listBox.selection();
    Record& record = records.at(currentIndex);
    takeEditText(editor->nameText(), record.name());
    takeEditText(editor->valueText(), record.value());
    // Name tracking has nearly always shown the name already; renewing an
    // item that reads the same would change nothing but cost the time.
    if (listBox.text(currentIndex) != record.name().c_str())
        listBox.renew(currentIndex, record.name(), sel == currentIndex);
}

// After each message to the focused Name edit (a keystroke, a paste, an
// undo) the record and its list item take the edit's text.
void App::trackNameEdit(const MSG& msg) {
    if (msg.hwnd != editor->nameEdit() || GetFocus() != editor->nameEdit() || msg.message == WM_MOUSEMOVE)
        return;
    try {
        takeNameEditText();
    } catch (const std::bad_alloc&) {
        reportOutOfMemory();
    }
}

void App::takeNameEditText() {
    int sel = listBox.selection();
    if (sel == -1)
        return;
    Record& record = records.at(sel);
    std::string text = editor->nameText();
    if (readsAs(text, record.name()))
        return;
    record.setName(text);
    listBox.renew(sel, text, true);
}

void App::onSelectionChange() {
    if (listBox.selection() == currentIndex)
        return;
    commitEditor();
    showSelection();
}

void App::refillList(const Progress& progress) {
    listBox.fill(records, [](const Record& record) { return record.name().c_str(); }, progress);
}

// The panel goes back into its record before the item is selected and shown.
void App::showItem(int item) {
    commitEditor();
    if (listBox.selection() == item)
        return;
    listBox.select(item);
    showSelection();
}
