#pragma once

#include <windows.h>

// The main window's keyboard shortcuts, each sending the command of its menu
// item (or select all in the focused editor field).
constexpr int mainAcceleratorCount = 13;
extern const ACCEL mainAccelerators[mainAcceleratorCount];

// Owns one accelerator table and turns key messages into WM_COMMAND.
class AcceleratorTable {
public:
    AcceleratorTable();
    ~AcceleratorTable();
    AcceleratorTable(const AcceleratorTable&) = delete;
    AcceleratorTable& operator=(const AcceleratorTable&) = delete;

    // Destroys the held table first, so after a failure none is held.
    bool create(const ACCEL* entries, int count);
    // True when the message (as GetMessageW gives it) was a shortcut and
    // its command was sent to `window`; the caller then must not dispatch
    // the message any further.
    bool translate(HWND window, MSG* message);
    // False when nothing was held.
    BOOL destroy();

    HACCEL handle() const { return handle_; }

private:
    HACCEL handle_;
};
