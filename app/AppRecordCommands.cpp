// The record commands: Add, Remove, Remove All and the two sorts.
#include "App.h"

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
    SendMessageA(editor->nameEdit(), EM_SETSEL, 0, -1);
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

void App::clearRecords() {
    listBox.clear();
    records.clear();
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
    commitEditor();
    if (descending ? records.sortDescending() : records.sortAscending())
        refillList();
    showSelection();
}
