#pragma once

#include <windows.h>

// The common open and save dialogs for one command: make a fresh FileDialog,
// run open() or save(), and on true take filePath(). Neither dialog changes
// the process's current directory, where settings.txt lives.
class FileDialog {
public:
    static constexpr int bufferSize = MAX_PATH;

    FileDialog();
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;

    // Accepts an existing file only. True when the user confirmed one.
    bool open(HWND owner);
    // Accepts a name in an existing folder, asks before replacing a file and
    // adds no extension. True when the user confirmed a name.
    bool save(HWND owner);

    // The chosen file's full path; a path that does not fit fails the dialog.
    const char* filePath() const { return filePath_; }
    // The chosen file's name without its folder.
    const char* fileTitle() const { return fileTitle_; }

private:
    using DialogFunction = BOOL(WINAPI*)(LPOPENFILENAMEA);

    bool run(HWND owner, DWORD flags, DialogFunction showDialog);

    char fileTitle_[bufferSize];
    char filePath_[bufferSize];
};
