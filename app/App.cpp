// Start-up, the message loop and exit: building the windows in their order,
// the keys and clicks the loop takes for itself, and the question before the
// program ends.
#include "App.h"

#include <algorithm>
#include <new>

#include "FileNames.h"
#include "resource.h"

namespace {

const char* const settingsFile = "settings.txt";

constexpr DWORD mainWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD listBoxStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;
constexpr int listBoxScrollWidth = 800;

} // namespace

App::App()
    : splitter(nullptr, nullptr, nullptr), font("Courier New", 10, false, false), backgroundBrush(0), textColor(0),
      backgroundColor(0), settings(sameFileName) {
    if (!accelerators.create(mainAccelerators, mainAcceleratorCount))
        MessageBoxA(nullptr, "Error creating accelerator table!", nullptr, MB_OK);

    mainWindow.owner = this;
    mainWindow.callback = &windowCallback<App, &App::onMessage>;
    mainWindow.create(windowTitle().c_str(), nullptr, mainWindowStyle, WS_EX_ACCEPTFILES);
    applyFirstStartLayout();

    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINMENU));
    if (menu)
        SetMenu(mainWindow.hwnd, menu);
    else
        showError("Error creating menu bar!");

    settings.load(settingsFile);
    COLORREF text = settings.textColor();
    COLORREF background = settings.backgroundColor();
    backgroundBrush.create(background);
    textColor.set(text);
    backgroundColor.set(background);
    font = settings.font();

    createListBox();
    dragListMessage = RegisterWindowMessageA(DRAGLISTMSGSTRING);
    createEditor();
    contextMenu = GetSubMenu(GetMenu(mainWindow.hwnd), 1);
    applyWordWrap(settings.wordWrap());
    showRecentFiles();

    // A bar left of the client area could never be grabbed again.
    splitter.position = std::max(0, settings.splitterX());
    splitter.parent = mainWindow.hwnd;
    splitter.leftPane = listBox.hwnd();
    splitter.rightPane = editor->hwnd();
    applySavedPlacement();
}

void App::createListBox() {
    listBox.attach(CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", listBoxStyle, 0, 0, 0, 0, mainWindow.hwnd,
                                   nullptr, GetModuleHandleA(nullptr), nullptr));
    listBox.makeDragList();
    listBox.setHorizontalExtent(listBoxScrollWidth);
    font.applyTo(listBox.hwnd(), false);
}

void App::createEditor() {
    try {
        editor = std::make_unique<RecordDialog>(mainWindow.hwnd);
    } catch (const RecordDialog::CreationException&) {
        // The program ends: the main window goes now, while every member it
        // reports to still lives, rather than halfway through unwinding.
        closing = true;
        mainWindow.destroy();
        throw;
    }
    editor->setFont(font);
    editor->setTextColor(textColor.get());
    editor->setBackgroundColor(backgroundColor.get());
    showSelection();
    editor->show(true);
}

App::~App() {
    closing = true;
}

int App::run() {
    openCommandLine(__argc, __argv);
    keepKeyboardFocus();
    return messageLoop();
}

// The loop takes its messages in UTF-16, though every window is ANSI: a
// character typed as two bytes of a double-byte code page then reaches a
// control as one character, which it stores as its two bytes. Taken as
// bytes, the two would arrive one at a time, and not every system joins
// them again.
int App::messageLoop() {
    MSG msg = {};
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0)
        processMessage(msg);
    return got == 0 ? static_cast<int>(msg.wParam) : -1;
}

void App::openCommandLine(int argc, char** argv) {
    if (argc <= 1 || argv[1][0] == '\0')
        return;
    if (!openFile(argv[1]))
        showError(argv[1]);
}

// The message as GetMessageW gives it (see messageLoop).
void App::processMessage(MSG& msg) {
    // Keys typed in the Find box act there, before any shortcut of ours.
    if (findDialog.handleMessage(msg))
        return;
    // The list box sends its drag notifications; a posted one is forged.
    if (dragListMessage != 0 && msg.message == dragListMessage)
        return;
    // Ctrl as it was when this key was typed, not as it is now: keys typed
    // ahead while the program was busy keep their meaning.
    bool tabInValueEdit = msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && msg.hwnd == editor->valueEdit() &&
                          (GetKeyState(VK_CONTROL) & 0x8000) == 0;
    if (tabInValueEdit) {
        SetFocus(listBox.hwnd());
        return;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_DELETE && msg.hwnd == listBox.hwnd()) {
        onRemove();
        return;
    }
    if (onAccessKey(msg))
        return;
    if (msg.message == WM_RBUTTONDOWN && msg.hwnd == listBox.hwnd()) {
        showContextMenu();
        return;
    }
    // Not every system makes the menu key's release a WM_CONTEXTMENU: the
    // loop takes the key itself, so that it opens the menu exactly once.
    if (msg.message == WM_KEYUP && msg.wParam == VK_APPS && msg.hwnd == listBox.hwnd()) {
        showContextMenuForSelection();
        return;
    }
    if (accelerators.translate(mainWindow.hwnd, &msg))
        return;
    HWND focus = GetFocus();
    if (IsDialogMessageW(mainWindow.hwnd, &msg)) {
        onDialogNavigation(msg, focus);
    } else {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    trackNameEdit(msg);
}

bool App::confirm(const char* question) {
    return MessageBoxA(mainWindow.hwnd, question, "Confirm", MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

void App::requestExit() {
    if (!confirm("Are you sure you wish to exit?"))
        return;
    savePreferences();
    PostQuitMessage(0);
}

// Windows ends the session (log-off, shut-down, restart) and then the
// process, with no WM_CLOSE before: the preferences are kept as a
// confirmed exit keeps them, without its question, and as there the
// database is not written. A session that goes on changes nothing.
void App::onEndSession(bool ending) {
    if (ending)
        savePreferences();
}

void App::savePreferences() {
    settings.setTextColor(textColor.get());
    settings.setBackgroundColor(backgroundColor.get());
    settings.setFont(font);
    storeSplitterPosition();
    settings.save(settingsFile);
}

void App::showError(const char* text) {
    MessageBoxA(mainWindow.hwnd, text, nullptr, MB_OK);
}
