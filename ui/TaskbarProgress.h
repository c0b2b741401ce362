#pragma once

#include <windows.h>

#include <shobjidl.h>

// The progress of a window's work on its taskbar button, where Windows
// offers it (ITaskbarList3); nothing where it does not. The button shows
// progress from the first show() until the object goes.
class TaskbarProgress {
public:
    explicit TaskbarProgress(HWND window);
    ~TaskbarProgress();
    TaskbarProgress(const TaskbarProgress&) = delete;
    TaskbarProgress& operator=(const TaskbarProgress&) = delete;

    void show(ULONGLONG done, ULONGLONG total);

private:
    HWND window_;
    // Whether this object started COM on the thread, and so ends it.
    bool startedCom_ = false;
    ITaskbarList3* list_ = nullptr;
};
