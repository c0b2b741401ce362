#pragma once

#include <windows.h>

#include <string>

// The owner's message handler. It gets back the owner pointer it installed
// and does its own default processing (DefWindowProcA for what it leaves).
using WindowCallback = LRESULT (*)(void* owner, HWND, UINT, WPARAM, LPARAM);

// Owns one top-level window of the class "Velmora" and hands each of its
// messages to the owner's callback. The owner fills in `owner` and
// `callback` before create(), so that the messages sent while the window is
// being created reach it too.
class Window {
public:
    Window();
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Destroys any window held, then creates a new one at (0, 0), 0 x 0.
    bool create(const char* title, HWND parent, DWORD style, DWORD exStyle);
    // Sizes the window so that its client area is width x height, keeping
    // its position; reads the menu bar that is attached now.
    BOOL setClientSize(int width, int height);
    // Moves the window to the middle of the primary screen, keeping its size.
    void centerOnScreen();
    // Destroys the window; FALSE when none was held.
    BOOL destroy();

    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
    // The text of any window, such as an edit's contents, in the ANSI code
    // page.
    static std::string textOf(HWND window);

    HWND hwnd = nullptr;
    void* owner = nullptr;
    WindowCallback callback = nullptr;
};

// The adapter installed as a Window's callback: turns the owner pointer back
// into its class and calls the member handler.
template <class Owner, LRESULT (Owner::*member)(HWND, UINT, WPARAM, LPARAM)>
LRESULT windowCallback(void* owner, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return (static_cast<Owner*>(owner)->*member)(hwnd, message, wParam, lParam);
}
