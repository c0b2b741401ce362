#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Helpers for tests that drive real windows under Wine.

// Handles every message waiting for this thread, then keeps doing so until
// `milliseconds` have passed (0: only what is waiting now).
void pumpMessages(DWORD milliseconds = 0);

// Pumps messages until the condition holds or the timeout passes; returns
// whether it held.
bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMilliseconds = 5000);

// Moves the real pointer and waits until the system reports it there;
// false when it does not get there.
bool movePointerTo(POINT point);

// The text of a window (GetWindowTextA), whole.
std::string windowText(HWND window);

// A child window's rectangle in its parent's client coordinates.
RECT childRect(HWND parent, HWND child);

// Answers the modal dialogs (message boxes, common dialogs) that open on
// this thread while the object lives, through a thread-local CBT hook. Each
// dialog that is activated for the first time takes the next queued action;
// the action runs from a timer inside the dialog's own message loop, once
// the dialog is fully set up. A dialog that finds no action queued is
// cancelled and counted in unexpected().
class DialogAnswerer {
public:
    using Action = std::function<void(HWND dialog)>;

    struct Seen {
        std::string caption;
        std::string text;   // a message box's message; empty for other dialogs
    };

    DialogAnswerer();
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // Queues an action for the next dialog.
    void then(Action action);
    // Queues pressing a button (IDOK, IDCANCEL, IDYES, IDNO...).
    void thenPress(int buttonId);

    // Forgets the queued actions, the dialogs seen and the count of
    // unexpected ones: a fresh start within one test.
    void reset();

    const std::vector<Seen>& seen() const { return seen_; }
    int unexpected() const { return unexpected_; }
    bool allAnswered() const { return actions_.empty(); }

private:
    static LRESULT CALLBACK hookProc(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK timerProc(HWND, UINT, UINT_PTR, DWORD);
    void onActivate(HWND window);
    void runPending();

    HHOOK hook_;
    std::deque<Action> actions_;
    std::vector<HWND> known_;
    std::vector<HWND> pending_;
    std::vector<Seen> seen_;
    int unexpected_ = 0;
};

// Sets which of Ctrl, Alt and Shift (FCONTROL, FALT, FSHIFT) are down in
// this thread's keyboard state, which is what accelerators read, while the
// object lives.
class ModifierKeys {
public:
    explicit ModifierKeys(BYTE down);
    ~ModifierKeys();
    ModifierKeys(const ModifierKeys&) = delete;
    ModifierKeys& operator=(const ModifierKeys&) = delete;

private:
    BYTE saved_[256];
};

// Presses a button of a dialog the way a click does (BN_CLICKED from it).
void pressButton(HWND dialog, int buttonId);

// Sends a message to a window of this thread from another thread, as the
// system or another program does, and returns once it waits for this thread
// to take it (which any PeekMessage does first). The object goes once the
// message is answered, handling this thread's messages until then.
class MessageFromAnotherThread {
public:
    MessageFromAnotherThread(HWND window, UINT message);
    ~MessageFromAnotherThread();
    MessageFromAnotherThread(const MessageFromAnotherThread&) = delete;
    MessageFromAnotherThread& operator=(const MessageFromAnotherThread&) = delete;

private:
    std::atomic<bool> answered_{false};
    std::thread thread_;
};
