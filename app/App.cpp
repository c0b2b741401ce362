#include "App.h"

#include <commctrl.h>
#include <shellapi.h>

#include "FileDialog.h"
#include "resource.h"

namespace {

const char* const settingsFile = "settings.txt";
const char* const titlePrefix = "Tabulo 0.6 - ";
const char* const untitledTitle = "Tabulo 0.6 - Untitled";
const char* const newRecordName = "New Record";
const char* const aboutText =
    "Tabulo - A Simple Text Database Tool\r\n"
    "Version 0.6\r\n"
    "\r\n"
    "Keeps named notes in a plain text file of {name=value} entries.\r\n"
    "Drag names to reorder them; right-click a name for the Records menu.";

constexpr DWORD mainWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD listBoxStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;
constexpr int listBoxScrollWidth = 800;
constexpr int firstClientWidth = 400;
constexpr int firstClientHeight = 300;

// A one-pixel black line across the top edge of the item: where a dragged
// record will land.
void drawInsertionMark(HWND listBox, int item) {
    RECT rect;
    if (SendMessageA(listBox, LB_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rect)) == LB_ERR)
        return;
    HDC dc = GetDC(listBox);
    MoveToEx(dc, rect.left, rect.top, nullptr);
    LineTo(dc, rect.right, rect.top);
    ReleaseDC(listBox, dc);
}

bool isBelow(int index, std::size_t count) {
    return static_cast<unsigned>(index) < count;
}

} // namespace

// ---------------------------------------------------------------------------
// Start-up and shutdown

App::App()
    : splitter(nullptr, nullptr, nullptr), font("Courier New", 10, false, false), backgroundBrush(0), textColor(0),
      backgroundColor(0) {
    if (!accelerators.create(mainAccelerators, 6))
        MessageBoxA(nullptr, "Error creating accelerator table!", nullptr, MB_OK);

    mainWindow.owner = this;
    mainWindow.callback = &windowCallback<App, &App::onMessage>;
    mainWindow.create(untitledTitle, nullptr, mainWindowStyle, WS_EX_ACCEPTFILES);
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

    splitter.position = settings.splitterX();
    splitter.parent = mainWindow.hwnd;
    splitter.leftPane = listBox;
    splitter.rightPane = editor->hwnd();
    applySavedPlacement();
}

void App::createListBox() {
    listBox = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", listBoxStyle, 0, 0, 0, 0, mainWindow.hwnd,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    listBoxProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(listBox, GWLP_WNDPROC));
    MakeDragList(listBox);
    sendToList(LB_SETHORIZONTALEXTENT, listBoxScrollWidth, 0);
    font.applyTo(listBox, false);
}

void App::createEditor() {
    editor = std::make_unique<RecordDialog>(mainWindow.hwnd);
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
    int x = settings.windowX();
    int y = settings.windowY();
    int width = settings.windowWidth();
    int height = settings.windowHeight();
    SetWindowPos(mainWindow.hwnd, nullptr, x, y, width, height, SWP_NOZORDER);
    ShowWindow(mainWindow.hwnd, maximized ? SW_SHOWMAXIMIZED : SW_SHOW);
    // When the placement was already the window's own, no size message came
    // to lay the panes out.
    splitter.layout();
}

App::~App() {
    closing = true;
}

int App::run() {
    openCommandLine(__argc, __argv);
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
    bool tabInValueEdit = msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && msg.hwnd == editor->valueEdit() &&
                          (GetAsyncKeyState(VK_CONTROL) & 0x8000) == 0;
    if (tabInValueEdit) {
        SetFocus(listBox);
        return;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_DELETE && msg.hwnd == listBox) {
        onRemove();
        return;
    }
    if (msg.message == WM_RBUTTONDOWN && msg.hwnd == listBox) {
        showContextMenu();
        return;
    }
    if (accelerators.translate(mainWindow.hwnd, &msg))
        return;
    if (!IsDialogMessageA(mainWindow.hwnd, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (msg.hwnd == editor->nameEdit() && GetFocus() == editor->nameEdit() && msg.message != WM_MOUSEMOVE)
        trackNameEdit();
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

// ---------------------------------------------------------------------------
// Main window messages

LRESULT App::onMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (closing) {
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (dragListMessage != 0 && message == dragListMessage)
        return onDragList(*reinterpret_cast<const DRAGLISTINFO*>(lParam));
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_MOVE:
        onMove();
        return 0;
    case WM_SIZE:
        onSize(wParam, lParam);
        return 0;
    case WM_CLOSE:
        requestExit();
        return 0;
    case WM_COMMAND:
        onCommand(wParam, lParam);
        return 0;
    case WM_INITMENUPOPUP:
        onInitMenuPopup();
        return 0;
    case WM_CTLCOLORLISTBOX:
        return reinterpret_cast<LRESULT>(onCtlColorListBox(reinterpret_cast<HDC>(wParam)));
    case WM_MOUSEMOVE:
        splitter.onMouseMove(wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        splitter.onLButtonDown(wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
        splitter.onLButtonUp(wParam, lParam);
        return 0;
    case WM_DROPFILES:
        onDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

// The settings keep the last normal placement: a maximised or minimised
// window's position is never recorded.
void App::onMove() {
    if (IsZoomed(mainWindow.hwnd) || IsIconic(mainWindow.hwnd))
        return;
    RECT r;
    GetWindowRect(mainWindow.hwnd, &r);
    settings.setWindowX(r.left);
    settings.setWindowY(r.top);
}

void App::onSize(WPARAM wParam, LPARAM lParam) {
    splitter.onSize(wParam, lParam);
    if (wParam == SIZE_MAXIMIZED) {
        settings.setWindowMaximized(true);
    } else if (wParam == SIZE_RESTORED) {
        settings.setWindowMaximized(false);
        RECT r;
        GetWindowRect(mainWindow.hwnd, &r);
        settings.setWindowX(r.left);
        settings.setWindowY(r.top);
        settings.setWindowWidth(r.right - r.left);
        settings.setWindowHeight(r.bottom - r.top);
    }
}

void App::onInitMenuPopup() {
    HMENU menu = GetMenu(mainWindow.hwnd);
    UINT needsSelection = selection() == -1 ? MF_GRAYED : MF_ENABLED;
    EnableMenuItem(menu, IDM_REMOVE, MF_BYCOMMAND | needsSelection);
    UINT needsRecords = records.size() == 0 ? MF_GRAYED : MF_ENABLED;
    for (UINT id : {IDM_REMOVE_ALL, IDM_SORT_ASCENDING, IDM_SORT_DESCENDING})
        EnableMenuItem(menu, id, MF_BYCOMMAND | needsRecords);
}

HBRUSH App::onCtlColorListBox(HDC dc) {
    SetTextColor(dc, textColor.get());
    SetBkColor(dc, backgroundColor.get());
    return backgroundBrush.handle();
}

LRESULT App::onDragList(const DRAGLISTINFO& info) {
    switch (info.uNotification) {
    case DL_BEGINDRAG: return onBeginDrag(info);
    case DL_DRAGGING: return onDragging(info);
    case DL_DROPPED: return onDropped(info);
    case DL_CANCELDRAG: eraseInsertionMark(); return 0;
    default: return 0;
    }
}

// ---------------------------------------------------------------------------
// Commands

void App::onCommand(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(lParam) == listBox) {
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

void App::setTitle() {
    std::string title = fileName.empty() ? untitledTitle : titlePrefix + fileName;
    SetWindowTextA(mainWindow.hwnd, title.c_str());
}

bool App::openFile(const std::string& path) {
    if (!records.load(path))
        return false;
    fileName = path;
    setTitle();
    refillList();
    showSelection();
    return true;
}

void App::onNew() {
    if (!confirm("Are you sure you wish to start a new project?"))
        return;
    fileName.clear();
    setTitle();
    records.clear();
    sendToList(LB_RESETCONTENT, 0, 0);
    showSelection();
}

void App::onOpen() {
    FileDialog dialog;
    if (!dialog.open(mainWindow.hwnd))
        return;
    if (!openFile(dialog.filePath()))
        showError("Error loading database file!");
}

void App::onDropFiles(HDROP drop) {
    char path[MAX_PATH];
    UINT length = DragQueryFileA(drop, 0, path, sizeof path);
    DragFinish(drop);
    if (length == 0)
        return;
    openFile(path);
}

void App::onSave() {
    commitEditor();
    if (fileName.empty()) {
        onSaveAs();
        return;
    }
    if (!records.save(fileName))
        showError("Error saving file!");
}

void App::onSaveAs() {
    commitEditor();
    FileDialog dialog;
    if (!dialog.save(mainWindow.hwnd))
        return;
    if (!records.save(dialog.filePath())) {
        showError("Error saving file!");
        return;
    }
    fileName = dialog.filePath();
    setTitle();
}

void App::onAdd() {
    commitEditor();
    records.append(Record(newRecordName, ""));
    sendToList(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(newRecordName));
    setSelection(static_cast<int>(records.size()) - 1);
    showSelection();
    SetFocus(editor->nameEdit());
    SendMessageA(editor->nameEdit(), EM_SETSEL, 0, -1);
}

void App::onRemove() {
    int sel = selection();
    if (sel == -1)
        return;
    if (!confirm("Remove the selected record?"))
        return;
    deleteItem(sel);
    records.eraseAt(sel);
    showSelection();
}

void App::onRemoveAll() {
    if (!confirm("Are you sure you wish to remove all records?"))
        return;
    sendToList(LB_RESETCONTENT, 0, 0);
    records.clear();
    showSelection();
}

void App::onSortAscending() {
    commitEditor();
    records.sortAscending();
    refillList();
    showSelection();
}

void App::onSortDescending() {
    commitEditor();
    records.sortDescending();
    refillList();
    showSelection();
}

void App::onFont() {
    if (!font.choose(mainWindow.hwnd))
        return;
    font.applyTo(listBox, true);
    editor->setFont(font);
}

void App::onTextColor() {
    if (!textColor.choose(mainWindow.hwnd))
        return;
    editor->setTextColor(textColor.get());
    InvalidateRect(listBox, nullptr, FALSE);
    InvalidateRect(editor->hwnd(), nullptr, FALSE);
}

void App::onBackgroundColor() {
    if (!backgroundColor.choose(mainWindow.hwnd))
        return;
    COLORREF color = backgroundColor.get();
    backgroundBrush.create(color);
    editor->setBackgroundColor(color);
    InvalidateRect(listBox, nullptr, TRUE);
    InvalidateRect(editor->hwnd(), nullptr, TRUE);
}

void App::onSelectAll() {
    HWND focus = GetFocus();
    if (focus == editor->nameEdit() || focus == editor->valueEdit())
        SendMessageA(focus, EM_SETSEL, 0, -1);
}

void App::onAbout() {
    MessageBoxA(mainWindow.hwnd, aboutText, "About Tabulo", MB_ICONINFORMATION);
}

// ---------------------------------------------------------------------------
// Keeping the records, the list box and the panel in step

// The list box's own messages go straight to its procedure: the drag list's
// subclass passes them on unchanged, but under Wine every message through it
// costs window property look-ups in the server, about 0.1 ms, which made
// filling a large list a hundred times slower than the list box itself.
LRESULT App::sendToList(UINT message, WPARAM wParam, LPARAM lParam) const {
    return CallWindowProcA(listBoxProc, listBox, message, wParam, lParam);
}

int App::selection() const {
    return static_cast<int>(sendToList(LB_GETCURSEL, 0, 0));
}

void App::setSelection(int index) {
    sendToList(LB_SETCURSEL, index, 0);
}

void App::deleteItem(int index) {
    sendToList(LB_DELETESTRING, index, 0);
}

void App::insertItem(int index, const std::string& name) {
    sendToList(LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(name.c_str()));
}

std::string App::itemText(int index) const {
    LRESULT length = sendToList(LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    LRESULT copied = sendToList(LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

// Replaces the item's text: deleted, inserted again and, when asked,
// selected again. Redrawing is off meanwhile, because every change in the
// number of items redraws both scroll bars at once, and under Wine each of
// those redraws costs about 5 ms: four of them made typing lag.
void App::renewItem(int index, const std::string& name, bool select) {
    sendToList(WM_SETREDRAW, FALSE, 0);
    deleteItem(index);
    insertItem(index, name);
    if (select)
        setSelection(index);
    sendToList(WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox, nullptr, FALSE);
}

void App::showSelection() {
    int sel = selection();
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
}

void App::commitEditor() {
    if (currentIndex == -1)
        return;
    int sel = selection();
    Record& record = records.at(currentIndex);
    record.setName(editor->nameText());
    record.setValue(editor->valueText());
    // Name tracking has nearly always shown the name already; renewing an
    // item that reads the same would change nothing but cost the time.
    if (itemText(currentIndex) != record.name().c_str())
        renewItem(currentIndex, record.name(), sel == currentIndex);
}

void App::trackNameEdit() {
    int sel = selection();
    if (sel == -1)
        return;
    Record& record = records.at(sel);
    std::string text = editor->nameText();
    if (text == record.name())
        return;
    record.setName(text);
    renewItem(sel, text, true);
}

void App::onSelectionChange() {
    if (selection() == currentIndex)
        return;
    commitEditor();
    showSelection();
}

// Redrawing is off while the names go in: a list box that repaints after
// every item takes minutes for a large database.
void App::refillList() {
    sendToList(WM_SETREDRAW, FALSE, 0);
    sendToList(LB_RESETCONTENT, 0, 0);
    for (const Record& record : records)
        sendToList(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(record.name().c_str()));
    sendToList(WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox, nullptr, TRUE);
}

// ---------------------------------------------------------------------------
// Drag reordering and the context menu

int App::itemAt(POINT screenPoint, bool autoScroll) const {
    return LBItemFromPt(listBox, screenPoint, autoScroll);
}

LRESULT App::onBeginDrag(const DRAGLISTINFO& info) {
    int item = itemAt(info.ptCursor, true);
    if (!isBelow(item, records.size()))
        return FALSE;
    commitEditor();
    if (selection() != item) {
        setSelection(item);
        showSelection();
    }
    dragSourceIndex = item;
    return TRUE;
}

LRESULT App::onDragging(const DRAGLISTINFO& info) {
    int item = itemAt(info.ptCursor, true);
    if (item != -1)
        drawInsertionMark(listBox, item);
    if (item != markedItem)
        eraseInsertionMark();
    markedItem = item;
    return DL_COPYCURSOR;
}

// The mark is drawn outside the list box's painting: the row repaints
// without it.
void App::eraseInsertionMark() {
    RECT rect;
    // A row that no longer exists has nothing left to repaint.
    if (markedItem != -1 && sendToList(LB_GETITEMRECT, markedItem, reinterpret_cast<LPARAM>(&rect)) != LB_ERR)
        InvalidateRect(listBox, &rect, TRUE);
    markedItem = -1;
}

// The record lands just before the item it is dropped on; on itself or on
// the next item nothing moves.
LRESULT App::onDropped(const DRAGLISTINFO& info) {
    eraseInsertionMark();
    int source = dragSourceIndex;
    int target = itemAt(info.ptCursor, true);
    std::size_t count = records.size();
    if (!isBelow(target, count) || !isBelow(source, count) || target == source || target == source + 1)
        return 0;
    Record moved = records.at(source);
    records.eraseAt(source);
    deleteItem(source);
    if (target > source)
        --target;
    records.insertAt(target, moved);
    insertItem(target, moved.name());
    currentIndex = target;
    setSelection(target);
    dragSourceIndex = -1;
    return 0;
}

void App::showContextMenu() {
    POINT position;
    GetCursorPos(&position);
    int item = itemAt(position, false);
    if (item != -1) {
        commitEditor();
        setSelection(item);
        showSelection();
    }
    if (contextMenu)
        TrackPopupMenu(contextMenu, 0, position.x, position.y, 0, mainWindow.hwnd, nullptr);
}
