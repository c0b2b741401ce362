// Entry point of tabulo.exe.
#include <windows.h>

#include <commctrl.h>

#include "App.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    App app;
    return app.run();
}
