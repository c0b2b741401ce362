// Reads the state of a running Tabulo from outside, for the end-to-end
// tests: they drive the program with real X input and ask this helper,
// started in the same Wine prefix, what the windows show.
//
//   probe.exe wait [timeout-ms]   wait for the main window; print its title
//   probe.exe title               the main window's title
//   probe.exe list                "selected N", then the list box items
//   probe.exe panel               name, value (C-escaped) and enabled states
//   probe.exe box                 caption and text of a dialog owned by the
//                                   main window (exit code 1 when none)
//   probe.exe wait-box [ms]       wait for such a dialog, then as "box"
//   probe.exe wait-no-box [ms]    wait until no such dialog is open
//   probe.exe item N              screen point in the middle of list item N
//   probe.exe below-items         screen point in the list box below the last item
//   probe.exe control ID          screen point in the middle of control ID of
//                                   the open dialog (e.g. 6 = Yes, 7 = No)
//   probe.exe bar                 screen point in the middle of the splitter bar
//   probe.exe rects               window, list box and panel rectangles
//   probe.exe focus               which of list/name/value has the focus
//   probe.exe edit ID             the panel's edit ID (30002 name, 30001
//                                   value): "selection S E", "caret C" (S or
//                                   E; -1 when it has no caret), "first L"
//                                   (its first visible line), "line L" (of
//                                   the selection's start), "wraps 0|1",
//                                   "lines N" (as many as it shows),
//                                   "highlighted P" (its pixels of the
//                                   selection's colour)
//   probe.exe point ID            screen point in the middle of the panel's
//                                   control ID
//   probe.exe find-text           the text of the Find box, the dialog
//                                   owned by the main window (C-escaped)
//   probe.exe end-session         ends the session as Windows does: the two
//                                   messages, then the end of the process
//   probe.exe forge-drag          sends and posts the drag-list message with
//                                   a pointer that is not the program's; exit
//                                   code 0 when the program still answers
//   probe.exe line-height         height of a list item: one line of the user's font
//   probe.exe text-height FACE PX height of a line of FACE asked for PX high
//                                   (negative: the character height), as the
//                                   program asks for its font
//   probe.exe layout              what is wrong with the record panel's layout:
//                                   controls that overlap, stand out of the panel
//                                   or are too small for their text; nothing when
//                                   all is well
//   probe.exe shortcut FILE.lnk   target and working folder of a shortcut
//   probe.exe active              "active" when the main window is the
//                                   foreground window, else "inactive"
//   probe.exe file-name           the file name field of the open file dialog
//   probe.exe wait-menu [ms]      wait until a popup menu shows
//   probe.exe notepad             the title of a Notepad window (exit code 1
//                                   when none is open)
//   probe.exe close-notepad       asks every Notepad window to close
//   probe.exe wait-progress [ms]  wait until the main window shows a progress bar
//   probe.exe progress            "progress N", the bar's position read with a
//                                   message the program must answer, or "none"
//   probe.exe count               "count N selected S" of the list box

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HWND mainWindow() {
    return FindWindowA("Velmora", nullptr);
}

HWND listBox(HWND main) {
    return FindWindowExA(main, nullptr, "ListBox", nullptr);
}

HWND panel(HWND main) {
    return FindWindowExA(main, nullptr, "#32770", nullptr);
}

std::string textOf(HWND window) {
    LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    LRESULT got = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

std::string escaped(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\\') out += "\\\\";
        else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else out += static_cast<char>(c);
    }
    return out;
}

struct OwnedDialogSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK findOwnedDialog(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<OwnedDialogSearch*>(lParam);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") == 0 && IsWindowVisible(window) &&
        (GetWindow(window, GW_OWNER) == search->owner || search->owner == nullptr)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND ownedDialog(HWND main) {
    OwnedDialogSearch search{main, nullptr};
    EnumWindows(findOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void printPoint(HWND window, POINT point) {
    MapWindowPoints(window, HWND_DESKTOP, &point, 1);
    std::printf("%ld %ld\n", point.x, point.y);
}

void printRect(const char* name, HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    std::printf("%s %ld %ld %ld %ld\n", name, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

bool waitFor(bool (*condition)(), DWORD timeout) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeout)
            return false;
        Sleep(50);
    }
    return true;
}

HWND progressBar(HWND main) {
    HWND bar = FindWindowExA(main, nullptr, PROGRESS_CLASSA, nullptr);
    return IsWindowVisible(bar) ? bar : nullptr;
}

bool progressShown() {
    HWND main = mainWindow();
    return main && progressBar(main);
}

bool mainWindowShown() {
    HWND main = mainWindow();
    return main && IsWindowVisible(main);
}

bool dialogOpen() {
    HWND main = mainWindow();
    return main && ownedDialog(main);
}

bool noDialogOpen() {
    return !dialogOpen();
}

BOOL CALLBACK findShownMenu(HWND window, LPARAM found) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32768") != 0 || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

bool menuShown() {
    bool found = false;
    EnumWindows(findShownMenu, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The open and save dialogs name the file in a combo box, older ones in an
// edit control.
int printFileName(HWND main) {
    HWND dialog = ownedDialog(main);
    if (!dialog)
        return 1;
    HWND field = GetDlgItem(dialog, 0x47C);
    if (!field)
        field = GetDlgItem(dialog, 0x480);
    if (!field)
        return 1;
    std::printf("%s\n", textOf(field).c_str());
    return 0;
}

int printBox(HWND main) {
    HWND dialog = ownedDialog(main);
    if (!dialog)
        return 1;
    std::printf("caption %s\n", textOf(dialog).c_str());
    std::printf("text %s\n", escaped(textOf(GetDlgItem(dialog, 0xFFFF))).c_str());
    return 0;
}

int printList(HWND list) {
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    std::printf("selected %d\n", static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)));
    // Across processes the list box hands its items over as wide text.
    for (int i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
        length = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        std::string item(static_cast<std::size_t>(length) * 2 + 1, '\0');
        int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(length), item.data(),
                                        static_cast<int>(item.size()), nullptr, nullptr);
        item.resize(bytes);
        std::printf("%s\n", escaped(item).c_str());
    }
    return 0;
}

int printPanel(HWND dialog) {
    HWND name = GetDlgItem(dialog, 30002);
    HWND value = GetDlgItem(dialog, 30001);
    std::printf("name %s\n", escaped(textOf(name)).c_str());
    std::printf("value %s\n", escaped(textOf(value)).c_str());
    std::printf("enabled %d %d\n", IsWindowEnabled(name) ? 1 : 0, IsWindowEnabled(value) ? 1 : 0);
    std::printf("visible %d\n", IsWindowVisible(dialog) ? 1 : 0);
    return 0;
}

// The focus belongs to the program's thread; attaching to its input state
// lets GetFocus answer for it.
int printFocus(HWND main) {
    DWORD thread = GetWindowThreadProcessId(main, nullptr);
    AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
    HWND focus = GetFocus();
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    HWND dialog = panel(main);
    const char* which = focus == listBox(main) ? "list"
                        : focus == GetDlgItem(dialog, 30002) ? "name"
                        : focus == GetDlgItem(dialog, 30001) ? "value"
                        : focus == nullptr ? "none" : "other";
    std::printf("%s\n", which);
    return 0;
}

// How many pixels of a window on the screen have the colour.
int pixelsOf(HWND window, COLORREF color) {
    RECT r;
    GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    DWORD wanted = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    int count = 0;
    for (int i = 0; i < width * height; ++i)
        count += (static_cast<DWORD*>(bits)[i] & 0xFFFFFF) == wanted;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return count;
}

// Messages whose answers carry no pointer work across processes.
int printEdit(HWND main, int id) {
    HWND edit = GetDlgItem(panel(main), id);
    if (!edit)
        return 1;
    LRESULT selection = SendMessageA(edit, EM_GETSEL, 0, 0);
    int start = LOWORD(selection), end = HIWORD(selection);
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(edit, nullptr), &thread);
    // The end of the text has no character to ask the place of.
    LRESULT at = SendMessageA(edit, EM_POSFROMCHAR, start, 0);
    bool atStart = thread.rcCaret.left == static_cast<short>(LOWORD(at)) &&
                   thread.rcCaret.top == static_cast<short>(HIWORD(at));
    int caret = thread.hwndCaret != edit ? -1 : atStart ? start : end;
    RECT client;
    GetClientRect(edit, &client);
    LRESULT lineHeight = SendMessageA(listBox(main), LB_GETITEMHEIGHT, 0, 0);
    std::printf("selection %d %d\ncaret %d\n", start, end, caret);
    std::printf("first %d\nline %d\n", static_cast<int>(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0)),
                static_cast<int>(SendMessageA(edit, EM_LINEFROMCHAR, start, 0)));
    bool wraps = (GetWindowLongA(edit, GWL_STYLE) & (ES_MULTILINE | ES_AUTOHSCROLL)) == ES_MULTILINE;
    std::printf("wraps %d\n", wraps ? 1 : 0);
    std::printf("lines %d\nhighlighted %d\n", static_cast<int>(client.bottom / lineHeight),
                pixelsOf(edit, GetSysColor(COLOR_HIGHLIGHT)));
    return 0;
}

// Height of a line of text in a font made as the program makes its own.
int lineHeightOf(const char* face, int height) {
    HFONT font = CreateFontA(height, 0, 0, 0, FW_DONTCARE, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    return metrics.tmHeight;
}

RECT rectIn(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool inside(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Whether the label's text fits it in the panel's font (the template's
// 8-point MS Sans Serif, at the screen's resolution), measured as drawn:
// the "&" of an access key underlines the next letter.
bool labelFits(HWND label) {
    HDC screen = GetDC(nullptr);
    int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    HGDIOBJ previous = SelectObject(screen, font);
    RECT extent = {};
    DrawTextA(screen, textOf(label).c_str(), -1, &extent, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    RECT client;
    GetClientRect(label, &client);
    return extent.right <= client.right && extent.bottom <= client.bottom;
}

int printLayoutProblems(HWND main) {
    struct Control {
        int id;
        const char* name;
    };
    const Control controls[] = {{4003, "Name label"}, {30002, "Name edit"}, {4001, "Value label"}, {30001, "Value edit"}};
    HWND dialog = panel(main);
    RECT client;
    GetClientRect(dialog, &client);
    RECT rects[4];
    for (int i = 0; i < 4; ++i) {
        rects[i] = rectIn(dialog, GetDlgItem(dialog, controls[i].id));
        if (!inside(client, rects[i]))
            std::printf("%s stands out of the panel\n", controls[i].name);
        for (int j = 0; j < i; ++j) {
            RECT common;
            if (IntersectRect(&common, &rects[i], &rects[j]))
                std::printf("%s and %s overlap\n", controls[j].name, controls[i].name);
        }
    }
    for (int id : {4003, 4001})
        if (!labelFits(GetDlgItem(dialog, id)))
            std::printf("%s clips its text\n", id == 4003 ? "Name label" : "Value label");
    RECT name;
    GetClientRect(GetDlgItem(dialog, 30002), &name);
    if (name.bottom < SendMessageA(listBox(main), LB_GETITEMHEIGHT, 0, 0))
        std::printf("Name edit is lower than a line of its font\n");
    return 0;
}

// A program that says the session may not end is told that it goes on.
int endSession(HWND main) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
    SendMessageTimeoutA(main, WM_ENDSESSION, answer != 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
    DWORD id = 0;
    GetWindowThreadProcessId(main, &id);
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id);
    return process && TerminateProcess(process, 0) && CloseHandle(process) ? 0 : 1;
}

int printShortcut(const char* path) {
    if (FAILED(CoInitialize(nullptr)))
        return 1;
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t widePath[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH);
    bool loaded = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                             reinterpret_cast<void**>(&link))) &&
                  SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                  SUCCEEDED(file->Load(widePath, STGM_READ));
    char target[MAX_PATH] = {};
    char folder[MAX_PATH] = {};
    if (loaded) {
        link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetWorkingDirectory(folder, MAX_PATH);
        std::printf("target %s\nfolder %s\n", target, folder);
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    CoUninitialize();
    return loaded ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    // Screen points and font heights in the program's own terms: it is
    // DPI aware too.
    SetProcessDPIAware();
    std::string command = argv[1];
    DWORD timeout = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 20000;
    if (command == "wait") {
        if (!waitFor(mainWindowShown, timeout))
            return 1;
        std::printf("%s\n", textOf(mainWindow()).c_str());
        return 0;
    }
    if (command == "wait-no-box")
        return waitFor(noDialogOpen, timeout) ? 0 : 1;
    if (command == "wait-progress")
        return waitFor(progressShown, timeout) ? 0 : 1;
    if (command == "text-height" && argc > 3) {
        std::printf("%d\n", lineHeightOf(argv[2], std::atoi(argv[3])));
        return 0;
    }
    if (command == "shortcut" && argc > 2)
        return printShortcut(argv[2]);
    if (command == "wait-menu")
        return waitFor(menuShown, timeout) ? 0 : 1;
    if (command == "notepad") {
        HWND notepad = FindWindowA("Notepad", nullptr);
        if (!notepad)
            return 1;
        std::printf("%s\n", textOf(notepad).c_str());
        return 0;
    }
    if (command == "close-notepad") {
        for (HWND notepad; (notepad = FindWindowA("Notepad", nullptr)) != nullptr;) {
            DWORD_PTR result;
            SendMessageTimeoutA(notepad, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &result);
        }
        return 0;
    }

    HWND main = mainWindow();
    if (!main) {
        std::fprintf(stderr, "no main window\n");
        return 3;
    }
    if (command == "wait-box")
        return waitFor(dialogOpen, timeout) ? printBox(main) : 1;
    if (command == "title") {
        std::printf("%s\n", textOf(main).c_str());
        return 0;
    }
    if (command == "list")
        return printList(listBox(main));
    if (command == "panel")
        return printPanel(panel(main));
    if (command == "box")
        return printBox(main);
    if (command == "focus")
        return printFocus(main);
    if (command == "edit" && argc > 2)
        return printEdit(main, std::atoi(argv[2]));
    if (command == "point" && argc > 2) {
        HWND control = GetDlgItem(panel(main), std::atoi(argv[2]));
        RECT r;
        if (!control || !GetClientRect(control, &r))
            return 1;
        printPoint(control, POINT{r.right / 2, r.bottom / 2});
        return 0;
    }
    if (command == "find-text") {
        HWND box = ownedDialog(main);
        if (!box)
            return 1;
        std::printf("%s\n", escaped(textOf(GetDlgItem(box, 0x480))).c_str());
        return 0;
    }
    if (command == "active") {
        std::printf("%s\n", GetForegroundWindow() == main ? "active" : "inactive");
        return 0;
    }
    if (command == "file-name")
        return printFileName(main);
    if (command == "item" && argc > 2) {
        RECT r;
        if (SendMessageA(listBox(main), LB_GETITEMRECT, std::atoi(argv[2]), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
            return 1;
        printPoint(listBox(main), POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        return 0;
    }
    if (command == "below-items") {
        HWND list = listBox(main);
        int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        RECT client;
        GetClientRect(list, &client);
        LONG top = 0;
        RECT r;
        if (count > 0 && SendMessageA(list, LB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&r)) != LB_ERR)
            top = r.bottom;
        if (top + 4 >= client.bottom)
            return 1;
        printPoint(list, POINT{client.right / 2, (top + client.bottom) / 2});
        return 0;
    }
    if (command == "control" && argc > 2) {
        HWND dialog = ownedDialog(main);
        HWND control = dialog ? GetDlgItem(dialog, std::atoi(argv[2])) : nullptr;
        if (!control)
            return 1;
        RECT r;
        GetClientRect(control, &r);
        printPoint(control, POINT{r.right / 2, r.bottom / 2});
        return 0;
    }
    if (command == "bar") {
        RECT list;
        GetWindowRect(listBox(main), &list);
        std::printf("%ld %ld\n", list.right + 2, (list.top + list.bottom) / 2);
        return 0;
    }
    if (command == "end-session")
        return endSession(main);
    if (command == "forge-drag") {
        UINT dragList = RegisterWindowMessageA("commctrl_DragListMsg");
        DWORD_PTR result;
        SendMessageTimeoutA(main, dragList, 0, 0x10, SMTO_NORMAL, 5000, &result);
        PostMessageA(main, dragList, 0, 0x10);
        return SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) ? 0 : 1;
    }
    if (command == "progress") {
        HWND bar = progressBar(main);
        DWORD_PTR position = 0;
        if (bar && !SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_NORMAL, 5000, &position))
            std::printf("no answer\n");
        else
            std::printf(bar ? "progress %d\n" : "none\n", static_cast<int>(position));
        return 0;
    }
    if (command == "count") {
        HWND list = listBox(main);
        std::printf("count %d selected %d\n", static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)),
                    static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)));
        return 0;
    }
    if (command == "line-height") {
        std::printf("%d\n", static_cast<int>(SendMessageA(listBox(main), LB_GETITEMHEIGHT, 0, 0)));
        return 0;
    }
    if (command == "layout")
        return printLayoutProblems(main);
    if (command == "rects") {
        printRect("window", main);
        printRect("list", listBox(main));
        printRect("panel", panel(main));
        std::printf("maximized %d\n", IsZoomed(main) ? 1 : 0);
        return 0;
    }
    return 2;
}
