#include "HostWindow.h"

namespace {

const char className[] = "TabuloEditorTestHost";

void registerClassOnce() {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    registered = RegisterClassA(&windowClass) != 0;
}

} // namespace

HostWindow::HostWindow() {
    registerClassOnce();
    handle_ = CreateWindowExA(0, className, "Record panel host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                              700, 500, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(handle_);
}

HostWindow::~HostWindow() {
    destroy();
}

void HostWindow::destroy() {
    if (handle_ && IsWindow(handle_))
        DestroyWindow(handle_);
    handle_ = nullptr;
}
