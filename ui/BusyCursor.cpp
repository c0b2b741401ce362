#include "BusyCursor.h"

BusyCursor::BusyCursor() : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}

// Before the first mouse message a thread may have no cursor at all; the
// arrow then, since none would hide the pointer over the window.
BusyCursor::~BusyCursor() {
    SetCursor(previous_ ? previous_ : LoadCursorA(nullptr, IDC_ARROW));
}
