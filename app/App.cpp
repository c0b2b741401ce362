// Start-up, the message loop and exit: building the windows in their order,
// placing the window where it was, and the keys the loop takes for itself.
#include "App.h"

#include <algorithm>
#include <climits>
#include <new>

#include "resource.h"

namespace {

const char* const settingsFile = "settings.txt";

constexpr DWORD mainWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD listBoxStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;
constexpr int listBoxScrollWidth = 800;
constexpr int firstClientWidth = 400;
constexpr int firstClientHeight = 300;

// start + length, held within int whatever a garbled settings file holds.
LONG farEdge(int start, int length) {
    long long edge = static_cast<long long>(start) + length;
    return static_cast<LONG>(std::clamp<long long>(edge, INT_MIN, INT_MAX));
}

// A window of the rectangle's size, no larger than the primary monitor's
// work area, in the middle of it: where a window saved on a monitor that is
// gone (or garbled in "settings.txt") can be seen and reached again.
RECT centredOnPrimaryMonitor(const RECT& rect) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    LONG width = static_cast<LONG>(std::min<long long>(0LL + rect.right - rect.left, work.right - work.left));
    LONG height = static_cast<LONG>(std::min<long long>(0LL + rect.bottom - rect.top, work.bottom - work.top));
    LONG left = work.left + (work.right - work.left - width) / 2;
    LONG top = work.top + (work.bottom - work.top - height) / 2;
    return RECT{left, top, left + width, top + height};
}

} // namespace

App::App()
    : splitter(nullptr, nullptr, nullptr), font("Courier New", 10, false, false), backgroundBrush(0), textColor(0),
      backgroundColor(0) {
    if (!accelerators.create(mainAccelerators, 6))
        MessageBoxA(nullptr, "Error creating accelerator table!", nullptr, MB_OK);

    mainWindow.owner = this;
    mainWindow.callback = &windowCallback<App, &App::onMessage>;
    mainWindow.create(windowTitle().c_str(), nullptr, mainWindowStyle, WS_EX_ACCEPTFILES);
    mainWindow.setClientSize(firstClientWidth, firstClientHeight);
    mainWindow.centerOnScreen();

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

// Placing the window sends WM_MOVE and WM_SIZE, which record the placement
// in the settings again, so all of it is read first.
void App::applySavedPlacement() {
    bool maximized = settings.windowMaximized();
    RECT placement = {settings.windowX(), settings.windowY(), farEdge(settings.windowX(), settings.windowWidth()),
                      farEdge(settings.windowY(), settings.windowHeight())};
    if (!MonitorFromRect(&placement, MONITOR_DEFAULTTONULL))
        placement = centredOnPrimaryMonitor(placement);
    SetWindowPos(mainWindow.hwnd, nullptr, placement.left, placement.top, placement.right - placement.left,
                 placement.bottom - placement.top, SWP_NOZORDER);
    ShowWindow(mainWindow.hwnd, maximized ? SW_SHOWMAXIMIZED : SW_SHOW);
    // When the placement was already the window's own, no size message came
    // to lay the panes out.
    splitter.layout();
    keepKeyboardFocus();
}

App::~App() {
    closing = true;
}

int App::run() {
    openCommandLine(__argc, __argv);
    keepKeyboardFocus();
    return messageLoop();
}

int App::messageLoop() {
    MSG msg = {};
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0)
        processMessage(msg);
    return got == 0 ? static_cast<int>(msg.wParam) : -1;
}

void App::openCommandLine(int argc, char** argv) {
    if (argc <= 1 || argv[1][0] == '\0')
        return;
    if (!openFile(argv[1]))
        showError(argv[1]);
}

void App::processMessage(MSG& msg) {
    // The list box sends its drag notifications; a posted one is forged.
    if (dragListMessage != 0 && msg.message == dragListMessage)
        return;
    bool tabInValueEdit = msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && msg.hwnd == editor->valueEdit() &&
                          (GetAsyncKeyState(VK_CONTROL) & 0x8000) == 0;
    if (tabInValueEdit) {
        SetFocus(listBox.hwnd());
        return;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_DELETE && msg.hwnd == listBox.hwnd()) {
        onRemove();
        return;
    }
    if (msg.message == WM_RBUTTONDOWN && msg.hwnd == listBox.hwnd()) {
        showContextMenu();
        return;
    }
    if (accelerators.translate(mainWindow.hwnd, &msg))
        return;
    if (!IsDialogMessageA(mainWindow.hwnd, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (msg.hwnd == editor->nameEdit() && GetFocus() == editor->nameEdit() && msg.message != WM_MOUSEMOVE) {
        try {
            trackNameEdit();
        } catch (const std::bad_alloc&) {
            reportOutOfMemory();
        }
    }
}

bool App::confirm(const char* question) {
    return MessageBoxA(mainWindow.hwnd, question, "Confirm", MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

void App::requestExit() {
    if (!confirm("Are you sure you wish to exit?"))
        return;
    settings.setTextColor(textColor.get());
    settings.setBackgroundColor(backgroundColor.get());
    settings.setFont(font);
    settings.setSplitterX(splitter.position);
    settings.save(settingsFile);
    PostQuitMessage(0);
}

void App::showError(const char* text) {
    MessageBoxA(mainWindow.hwnd, text, nullptr, MB_OK);
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
