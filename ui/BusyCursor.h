#pragma once

#include <windows.h>

// The wait cursor over the program's windows while the object lives, for work
// on the one thread that takes long enough to be noticed (opening, saving,
// sorting a large database; see LongWork, which keeps it up while messages
// are read). The one from before comes back at the end, also when the work
// fails or throws.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    HCURSOR previous_;
};
