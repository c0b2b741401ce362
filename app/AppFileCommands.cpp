// The file commands (New, Open, a dropped file, Save, Save As) and the
// window title that names the open file.
#include "App.h"

#include <shellapi.h>

#include <cstring>

#include "FileDialog.h"
#include "FileNames.h"
#include "LongWork.h"
#include "Version.h"

namespace {

const char* const titlePrefix = "Tabulo " TABULO_VERSION_SHORT " - ";
const char* const untitledTitle = "Tabulo " TABULO_VERSION_SHORT " - Untitled";
const char* const saveWouldChangeText =
    "Part of this file is not in the database format. Saving over it will change or remove that part.";

std::string saveOverQuestion(const std::string& path) {
    return path + "\r\n\r\n" + saveWouldChangeText + "\r\n\r\nSave anyway?";
}

} // namespace

std::string App::windowTitle() const {
    return fileName.empty() ? untitledTitle : titlePrefix + fileName;
}

void App::setTitle() {
    SetWindowTextA(mainWindow.hwnd, windowTitle().c_str());
}

// The file opens whatever it holds besides entries, but a save would not
// write that back: the user hears of it as it opens, and is asked again
// before the first save over it, when the warning may long be forgotten.
bool App::openFile(const std::string& path) {
    LoadReport report;
    if (!loadFile(path, report))
        return false;
    rememberRecentFile(path);
    if (report.saveWouldChange())
        MessageBoxA(mainWindow.hwnd, saveWouldChangeText, nullptr, MB_OK | MB_ICONWARNING);
    return true;
}

// A large database takes seconds to read and to fill the list: the window
// answers meanwhile and shows how far it is, and is done with that before
// any message box.
bool App::loadFile(const std::string& path, LoadReport& report) {
    LongWork work(mainWindow.hwnd);
    if (!records.load(path, &report, work.part(1 - fillShare)))
        return false;
    fileName = path;
    fileWarnedOnOpen = report.saveWouldChange();
    setTitle();
    refillList(work.part(fillShare));
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
    saveOver(fileName);
}

void App::onSaveAs() {
    commitEditor();
    FileDialog dialog;
    if (!dialog.save(mainWindow.hwnd) || !saveOver(dialog.filePath()))
        return;
    fileName = dialog.filePath();
    setTitle();
    rememberRecentFile(fileName);
}

// The panel goes into its record first. The window answers while the
// records are written, and is done with that before any message box.
bool App::saveTo(const std::string& path) {
    LongWork work(mainWindow.hwnd);
    commitEditor();
    return records.save(path, work.part(1));
}

// Writes the records to the file: true once they are there. Over the
// current file, when it warned as it opened, only when the user says so;
// after a save, or New, no file that warned is current any more.
bool App::saveOver(const std::string& path) {
    if (fileWarnedOnOpen && isCurrentFile(path) && !confirm(saveOverQuestion(path).c_str()))
        return false;
    if (!saveTo(path)) {
        showError("Error saving file!");
        return false;
    }
    fileWarnedOnOpen = false;
    return true;
}

bool App::isCurrentFile(const std::string& path) const {
    return sameFile(path, fileName);
}
