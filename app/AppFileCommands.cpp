// The file commands (New, Open, a dropped file, Save, Save As) and the
// window title that names the open file.
#include "App.h"

#include <shellapi.h>

#include "BusyCursor.h"
#include "FileDialog.h"
#include "Version.h"

namespace {

const char* const titlePrefix = "Tabulo " TABULO_VERSION_SHORT " - ";
const char* const untitledTitle = "Tabulo " TABULO_VERSION_SHORT " - Untitled";
const char* const saveWouldChangeText =
    "Part of this file is not in the database format. Saving over it will change or remove that part.";

} // namespace

std::string App::windowTitle() const {
    return fileName.empty() ? untitledTitle : titlePrefix + fileName;
}

void App::setTitle() {
    SetWindowTextA(mainWindow.hwnd, windowTitle().c_str());
}

// The file opens whatever it holds besides entries, but a save would not
// write that back: the user hears of it once, before anything is saved over.
bool App::openFile(const std::string& path) {
    LoadReport report;
    if (!loadFile(path, report))
        return false;
    rememberRecentFile(path);
    if (report.saveWouldChange())
        MessageBoxA(mainWindow.hwnd, saveWouldChangeText, nullptr, MB_OK | MB_ICONWARNING);
    return true;
}

// A large database takes seconds to read and to fill the list: the wait
// cursor says so, and is gone before any message box.
bool App::loadFile(const std::string& path, LoadReport& report) {
    BusyCursor busy;
    if (!records.load(path, &report))
        return false;
    fileName = path;
    setTitle();
    refillList();
    showSelection();
    return true;
}

void App::onNew() {
    if (!confirm("Are you sure you wish to start a new project?"))
        return;
    fileName.clear();
    setTitle();
    clearRecords();
}

void App::onOpen() {
    FileDialog dialog;
    if (!dialog.open(mainWindow.hwnd))
        return;
    if (!openFile(dialog.filePath()))
        showError("Error loading database file!");
}

void App::onDropFiles(HDROP drop) {
    char path[MAX_PATH];
    UINT length = DragQueryFileA(drop, 0, path, sizeof path);
    DragFinish(drop);
    if (length == 0)
        return;
    openFile(path);
}

void App::onSave() {
    if (fileName.empty()) {
        onSaveAs();
        return;
    }
    if (!saveTo(fileName))
        showError("Error saving file!");
}

void App::onSaveAs() {
    commitEditor();
    FileDialog dialog;
    if (!dialog.save(mainWindow.hwnd))
        return;
    if (!saveTo(dialog.filePath())) {
        showError("Error saving file!");
        return;
    }
    fileName = dialog.filePath();
    setTitle();
    rememberRecentFile(fileName);
}

// The panel goes into its record first. The wait cursor shows while the
// records are written, and is gone before any message box.
bool App::saveTo(const std::string& path) {
    BusyCursor busy;
    commitEditor();
    return records.save(path);
}
