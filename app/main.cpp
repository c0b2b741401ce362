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
        MessageBoxA(nullptr, "Error creating the record panel!", nullptr, MB_OK);
        return 1;
    }
}
