// The record commands: Add, Remove, Remove All, the two sorts, Move Up and
// Move Down.
#include "App.h"

#include "LongWork.h"
#include "resource.h"

namespace {

const char* const newRecordName = "New Record";

} // namespace

void App::onAdd() {
    commitEditor();
    records.append(Record(newRecordName, ""));
    listBox.add(newRecordName);
    listBox.select(static_cast<int>(records.size()) - 1);
    showSelection();
    SetFocus(editor->nameEdit());
    editor->nameControl().selectAll();
}

void App::onRemove() {
    int sel = listBox.selection();
    if (sel == -1)
        return;
    if (!confirm("Remove the selected record?"))
        return;
    listBox.remove(sel);
    records.eraseAt(sel);
    showSelection();
}

void App::onRemoveAll() {
    if (!confirm("Are you sure you wish to remove all records?"))
        return;
    clearRecords();
}

// Emptying a long list takes time too.
void App::clearRecords() {
    LongWork work(mainWindow.hwnd);
    listBox.clear();
    records.clear(work.part(1));
    showSelection();
}

void App::onSortAscending() {
    sortRecords(false);
}

void App::onSortDescending() {
    sortRecords(true);
}

// A sort that finds no memory for its keys leaves the order as it was, and
// the list with it.
void App::sortRecords(bool descending) {
    LongWork work(mainWindow.hwnd);
    commitEditor();
    Progress sorting = work.part(1 - fillShare);
    if (descending ? records.sortDescending(sorting) : records.sortAscending(sorting))
        refillList(work.part(fillShare));
    showSelection();
}

void App::onMoveUp() {
    moveSelected(-1);
}

void App::onMoveDown() {
    moveSelected(1);
}

// Whether the selected record has a place `step` places away.
bool App::canMoveSelected(int step) const {
    int sel = listBox.selection();
    int target = sel + step;
    return sel != -1 && target >= 0 && target < static_cast<int>(records.size());
}

// The panel goes into its record first, so that its pending edits move with
// it.
void App::moveSelected(int step) {
    if (!canMoveSelected(step))
        return;
    int sel = listBox.selection();
    commitEditor();
    moveRecord(sel, sel + step);
}

// The shown record moves in place, allocating nothing, so nothing can lose
// it; it stays selected and shown, and a match found in it stays current.
void App::moveRecord(int from, int to) {
    records.move(from, to);
    listBox.remove(from);
    listBox.insert(to, records.at(to).name());
    currentIndex = to;
    listBox.select(to);
    if (shownMatch && shownMatch->record == static_cast<std::size_t>(from))
        shownMatch->record = to;
    else
        shownMatch.reset();
}
