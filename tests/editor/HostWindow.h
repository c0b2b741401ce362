#pragma once

#include <windows.h>

// A plain visible top-level window to hold the record panel in tests. It is
// brought to the foreground so that keyboard focus can land in its children.
class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND handle() const { return handle_; }
    // Destroys the window (and its children) before the object goes.
    void destroy();

private:
    HWND handle_;
};
