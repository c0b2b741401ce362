// The record commands (Add, Remove, Remove All, the sorts) and what keeps
// the list box and the panel in step with the records: item i of the list
// is always the name of record i, and the panel shows record currentIndex.
#include "App.h"

#include "resource.h"

namespace {

const char* const newRecordName = "New Record";

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

void App::onCommand(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(lParam) == listBox.hwnd()) {
        WORD code = HIWORD(wParam);
        if (code == LBN_SELCHANGE || code == LBN_SELCANCEL)
            onSelectionChange();
        return;
    }
    switch (LOWORD(wParam)) {
    case IDM_NEW: onNew(); break;
    case IDM_SAVE: onSave(); break;
    case IDM_SAVE_AS: onSaveAs(); break;
    case IDM_ADD: onAdd(); break;
    case IDM_REMOVE: onRemove(); break;
    case IDM_REMOVE_ALL: onRemoveAll(); break;
    case IDM_FONT: onFont(); break;
    case IDM_ABOUT: onAbout(); break;
    case IDM_OPEN: onOpen(); break;
    case IDM_EXIT: requestExit(); break;
    case IDM_SORT_ASCENDING: onSortAscending(); break;
    case IDM_SORT_DESCENDING: onSortDescending(); break;
    case IDM_TEXT_COLOR: onTextColor(); break;
    case IDM_BACKGROUND_COLOR: onBackgroundColor(); break;
    case IDM_SELECT_ALL: onSelectAll(); break;
    default: break; // IDOK and IDCANCEL from Enter and Escape among them
    }
}

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

void App::showSelection() {
    int sel = listBox.selection();
    bool enable = sel != -1;
    if (enable) {
        const Record& record = records.at(sel);
        editor->setNameText(record.name());
        editor->setValueText(record.value());
    } else {
        // Emptying an edit that is already empty changes nothing, but under
        // Wine it redraws the Value edit's scroll bars, about 10 ms of every
        // sort; the edits are disabled next, so nothing else can show.
        if (GetWindowTextLengthA(editor->nameEdit()) != 0)
            editor->setNameText("");
        if (GetWindowTextLengthA(editor->valueEdit()) != 0)
            editor->setValueText("");
    }
    EnableWindow(editor->nameEdit(), enable);
    EnableWindow(editor->valueEdit(), enable);
    currentIndex = sel;
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

void App::trackNameEdit() {
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

void App::refillList() {
    listBox.fill(records, [](const Record& record) { return record.name().c_str(); });
}
