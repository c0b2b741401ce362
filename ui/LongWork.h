#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "BusyCursor.h"
#include "TaskbarProgress.h"

// Work on the one thread that may take seconds (opening, sorting, saving,
// emptying a large database) keeps the window answering while the object
// lives: the work reports its progress, and now and then the thread pauses
// to read the messages waiting. Messages sent to it (by the system, to see
// whether the window still answers, or to end the session) and repaints
// are handled; what the user does meanwhile (keys, clicks, menus, commands,
// dropped files) is dropped unread, and a close asked for is put off until
// the work is done. The wait cursor shows all along, and once the work has
// run a while a progress bar along the bottom of the window shows how far
// it is, and the taskbar button the same.
class LongWork {
public:
    explicit LongWork(HWND window);
    // Takes the bar away and asks again for a close asked meanwhile.
    ~LongWork();
    LongWork(const LongWork&) = delete;
    LongWork& operator=(const LongWork&) = delete;

    // A report of progress for the work's next part, which takes `share` of
    // the whole (the parts follow one another; their shares add up to 1).
    std::function<void(std::uint64_t done, std::uint64_t total)> part(double share);

    // How long the work runs before the bar shows, and between two pauses,
    // in milliseconds. Tests set both to 0.
    struct Timing {
        ULONGLONG showBarAfter = 500;
        ULONGLONG pauseEvery = 50;
    };
    static Timing timing;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
    // How far the whole work is, from 0 to 1.
    void advance(double fraction);
    void pause();
    bool dropsUnread(const MSG& msg);
    void showBar();
    void placeBar();

    HWND window_;
    BusyCursor busy_;
    ULONGLONG started_;
    ULONGLONG lastPause_;
    double partsEnd_ = 0;
    HWND bar_ = nullptr;
    int shown_ = -1;
    ULONGLONG barMoved_ = 0;
    std::unique_ptr<TaskbarProgress> taskbar_;
    bool closeAsked_ = false;
    bool quitSeen_ = false;
    WPARAM exitCode_ = 0;
};
