#pragma once

#include <windows.h>

#include <commdlg.h>

// The system's modeless Find box (FindTextA): "Find what", Match case and
// Up/Down, no whole-word option. One box at a time. The box works on the
// structure and the text held here, which keep the last search for the next
// box and for searching again without one.
class FindDialog {
public:
    static constexpr int bufferSize = 256;

    // What a notification of the box asks for.
    enum class Request { none, findNext, closed };

    FindDialog();
    // Destroys the box if it is open.
    ~FindDialog();
    FindDialog(const FindDialog&) = delete;
    FindDialog& operator=(const FindDialog&) = delete;

    // Opens the box, owned by `owner` and filled with the last search, or
    // activates the one that is open. False when no box could be made.
    bool open(HWND owner);
    // The open box; null when none is.
    HWND hwnd() const { return box_; }

    // Moves the open box off a place on the screen that it covers, above
    // or below it, and within the work area of the box's monitor.
    void keepClearOf(const RECT& area);

    // Gives a message for the open box to its dialog navigation, so that
    // keys typed in the box act there: true when the box took it. The
    // message is one that GetMessageW gave, its characters whole.
    bool handleMessage(MSG& msg);

    // The registered message with which the box notifies its owner.
    UINT notificationMessage() const { return message_; }
    // Reads a notification's lParam: none when it is not this box's.
    Request onNotification(LPARAM lParam);

    // The last text searched for; empty before the first search.
    const char* text() const { return text_; }
    bool matchCase() const { return (choices_ & FR_MATCHCASE) != 0; }
    bool searchDown() const { return (choices_ & FR_DOWN) != 0; }

private:
    FINDREPLACEA find_;
    char text_[bufferSize];
    HWND box_ = nullptr;
    // FR_DOWN and FR_MATCHCASE as the box last reported them.
    DWORD choices_ = FR_DOWN;
    UINT message_;
};
