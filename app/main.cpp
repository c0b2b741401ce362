// Entry point of tabulo.exe.
#include <windows.h>

#include <commctrl.h>

#include "App.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    try {
        App app;
        return app.run();
    } catch (const RecordDialog::CreationException&) {
        // Without its record panel the program cannot show or edit anything.
        // Destroying the main window posted the quit message, which would
        // end the box's own loop at once: it is taken off first.
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        MessageBoxA(nullptr, "Error creating the record panel!", nullptr, MB_OK);
        return 1;
    }
}
