#include "Window.h"

#include "resource.h"

namespace {

const char className[] = "Velmora";

void registerWindowClass() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Window::windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIcon = LoadIconA(windowClass.hInstance, MAKEINTRESOURCEA(IDI_TABULO));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    // The button-face colour is what shows in the gap between the panes.
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = className;
    // Fails when the class exists already (a second window of this
    // process); that registration serves as well.
    RegisterClassA(&windowClass);
}

Window* windowOf(HWND hwnd) {
    return reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// Links the new window and its object, which came in as the creation
// parameter, so that every later message finds the object.
void attach(HWND hwnd, LPARAM createStructure) {
    auto* window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(createStructure)->lpCreateParams);
    if (!window)
        return;
    window->hwnd = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
}

// The window's last message has been handled: the object must not keep a
// handle that the system may give to another window later.
void detach(HWND hwnd, Window* window) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    if (window->hwnd == hwnd)
        window->hwnd = nullptr;
}

} // namespace

Window::Window() = default;

Window::~Window() {
    destroy();
}

bool Window::create(const char* title, HWND parent, DWORD style, DWORD exStyle) {
    destroy();
    registerWindowClass();
    // hwnd is filled in by windowProc at WM_NCCREATE, before this returns.
    HWND created = CreateWindowExA(exStyle, className, title, style, 0, 0, 0, 0, parent, nullptr,
                                   GetModuleHandleA(nullptr), this);
    return created != nullptr;
}

BOOL Window::setClientSize(int width, int height) {
    if (!IsWindow(hwnd))
        return FALSE;
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE));
    BOOL hasMenu = GetMenu(hwnd) != nullptr;
    RECT bounds = {0, 0, width, height};
    AdjustWindowRectEx(&bounds, style, hasMenu, exStyle);
    return SetWindowPos(hwnd, nullptr, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top,
                        SWP_NOMOVE | SWP_NOZORDER);
}

void Window::centerOnScreen() {
    if (!hwnd)
        return;
    RECT bounds;
    GetWindowRect(hwnd, &bounds);
    // From the size rather than the right and bottom edges, so that a
    // window that is not at the screen's origin is centred too.
    int x = (GetSystemMetrics(SM_CXSCREEN) - (bounds.right - bounds.left)) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - (bounds.bottom - bounds.top)) / 2;
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

BOOL Window::destroy() {
    if (!hwnd)
        return FALSE;
    // The callback still sees the destruction messages; WM_NCDESTROY
    // clears hwnd on the way.
    BOOL destroyed = DestroyWindow(hwnd);
    hwnd = nullptr;
    return destroyed;
}

LRESULT CALLBACK Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = windowOf(hwnd);
    if (window && window->callback && window->owner) {
        LRESULT result = window->callback(window->owner, hwnd, message, wParam, lParam);
        if (message == WM_NCDESTROY)
            detach(hwnd, window);
        return result;
    }
    if (message == WM_NCCREATE)
        attach(hwnd, lParam);
    else if (message == WM_NCDESTROY && window)
        detach(hwnd, window);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

std::string Window::textOf(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}
