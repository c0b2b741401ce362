// Where the keyboard focus goes: a control of ours at start-up and whenever
// the main window would take it for itself, the control that had it before
// a box, a dialog, another program or a minimise took it, the field whose
// label's key is typed with Alt, and the caret at the start of a note that
// Tab moves into.
#include "App.h"

#include <utility>

// Activation gives the focus to the main window itself, where no key does
// anything. The window that had the focus when the main window was
// deactivated (for a message box, a dialog, another program) gets it back,
// as in a dialog; without one, keepKeyboardFocus picks the list box.
LRESULT App::onActivate(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    bool active = LOWORD(wParam) != WA_INACTIVE;
    if (active && !IsIconic(hwnd) && restoreFocus())
        return 0;
    if (!active)
        rememberFocus();
    LRESULT result = DefWindowProcA(hwnd, WM_ACTIVATE, wParam, lParam);
    if (active)
        keepKeyboardFocus();
    return result;
}

// A minimised window may stay active, with the focus nowhere, and be
// restored without being activated again: the focus is remembered before it
// goes and given back once the window is restored.
LRESULT App::onSysCommand(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    UINT command = static_cast<UINT>(wParam & 0xFFF0);
    if (command == SC_MINIMIZE)
        rememberFocus();
    LRESULT result = DefWindowProcA(hwnd, WM_SYSCOMMAND, wParam, lParam);
    if ((command == SC_RESTORE || command == SC_MAXIMIZE) && !IsIconic(hwnd) && GetActiveWindow() == hwnd)
        restoreFocus();
    return result;
}

// A minimised window has lost the focus already: what it had before stays
// remembered.
void App::rememberFocus() {
    HWND focus = GetFocus();
    if (IsChild(mainWindow.hwnd, focus))
        focusToRestore = focus;
    else if (!IsIconic(mainWindow.hwnd))
        focusToRestore = nullptr;
}

// The remembered window serves once, and only while it can take the focus.
bool App::restoreFocus() {
    HWND focus = std::exchange(focusToRestore, nullptr);
    if (!focus || !IsChild(mainWindow.hwnd, focus) || !IsWindowEnabled(focus) || !IsWindowVisible(focus))
        return false;
    SetFocus(focus);
    return true;
}

// A keyboard user needs a window of ours with the focus, but a disabled edit
// loses it, and an activated main window takes it for itself, where no key
// does anything: the list box takes it then.
void App::keepKeyboardFocus() {
    if (!listBox.hwnd() || !editor || GetActiveWindow() != mainWindow.hwnd || IsIconic(mainWindow.hwnd))
        return;
    HWND focus = GetFocus();
    if (!focus || focus == mainWindow.hwnd || focus == editor->hwnd())
        SetFocus(listBox.hwnd());
}

// Alt and a label's key, from anywhere in the main window: the field takes
// the focus with its caret and selection as they were. The dialog manager
// would select all of it, or, the main window being no dialog, do nothing.
// A disabled field (no record shown) takes nothing; the key is used up.
bool App::onAccessKey(const MSG& msg) {
    if (msg.message != WM_SYSCHAR || (msg.hwnd != mainWindow.hwnd && !IsChild(mainWindow.hwnd, msg.hwnd)))
        return false;
    HWND field = editor->fieldWithAccessKey(msg.wParam);
    if (!field)
        return false;
    if (IsWindowEnabled(field))
        SetFocus(field);
    return true;
}

// Tab selects all of an edit it moves into, and the next key typed would
// replace a whole note of many lines: Tab into the Value edit puts the caret
// at its start instead, nothing selected. The Name edit keeps the
// selection, which typing a new name replaces. Only the key counts: the
// Value edit takes the focus in other ways too (a word wrap switch makes it
// anew), and then the caret stays where the user left it.
void App::onDialogNavigation(const MSG& msg, HWND focusBefore) {
    HWND value = editor->valueEdit();
    bool tabbedIntoValue =
        msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && focusBefore != value && GetFocus() == value;
    if (tabbedIntoValue)
        showValueStart();
}

void App::showValueStart() {
    editor->valueControl().select(0, 0);
    editor->valueControl().scrollSelectionIntoView();
}
