// The Help menu: the user guide (F1) and the About box.
#include "App.h"

#include <shellapi.h>

#include "Version.h"

namespace {

// The guide ships beside the program, installed or unpacked.
const char* const guideFileName = "README.txt";

// The folder of the running program, with its trailing separator: the
// working folder is the user's (the Start menu starts the program in
// Documents\Tabulo), not the program's.
std::string programFolder() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::string();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of("\\/") + 1);
}

bool started(HINSTANCE result) {
    return reinterpret_cast<INT_PTR>(result) > 32;
}

const char* const aboutText =
    "Tabulo - A Simple Text Database Tool\r\n"
    "Version " TABULO_VERSION_SHORT "\r\n"
    "\r\n"
    "Keeps named notes in a plain text file of {name=value} entries.\r\n"
    "Drag names to reorder them; right-click a name for the Records menu.";

} // namespace

// The system's program for text files shows the guide; where none is
// registered, Notepad, which every Windows has.
void App::onUserGuide() {
    std::string guide = programFolder() + guideFileName;
    if (GetFileAttributesA(guide.c_str()) == INVALID_FILE_ATTRIBUTES) {
        showError(("The user guide was not found. It was looked for here:\r\n" + guide).c_str());
        return;
    }
    if (started(ShellExecuteA(mainWindow.hwnd, "open", guide.c_str(), nullptr, nullptr, SW_SHOWNORMAL)))
        return;
    std::string quoted = "\"" + guide + "\"";
    if (!started(ShellExecuteA(mainWindow.hwnd, "open", "notepad.exe", quoted.c_str(), nullptr, SW_SHOWNORMAL)))
        showError(("The user guide could not be opened:\r\n" + guide).c_str());
}

void App::onAbout() {
    MessageBoxA(mainWindow.hwnd, aboutText, "About Tabulo", MB_ICONINFORMATION);
}
