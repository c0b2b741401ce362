#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "FigureTable.h"

// How long a window leaves the system waiting, timed from another process
// as the system times it to decide that a window hangs: a child process
// sends the window WM_NULL every 20 ms and notes when each message went and
// when its answer came. Each action marked meanwhile gets the longest wait
// of a message that was waiting while it ran.
class ResponseWatch {
public:
    // Starts the watching process and waits, handling this thread's
    // messages with `drain`, until the window has answered it once.
    ResponseWatch(HWND window, const std::string& pings, const std::function<void()>& drain);
    ResponseWatch(const ResponseWatch&) = delete;
    ResponseWatch& operator=(const ResponseWatch&) = delete;

    // The performance counter, the same in every process.
    static std::int64_t now();
    // An action that ran from start to end (both from now()); its figure is
    // named "unanswered_" and the figure's name.
    void mark(const std::string& figure, std::int64_t start, std::int64_t end);
    // Once the window is gone: waits for the watching process to end and
    // gives each marked action's longest wait, in seconds.
    std::vector<Figure> figures();

    // The watching process: pings the window until it is gone, then writes
    // "sent answered" lines of counter values to the file.
    static int watch(HWND window, const char* pings, const char* readyEvent);

private:
    struct Span {
        std::string figure;
        std::int64_t start;
        std::int64_t end;
    };

    std::string pings_;
    std::vector<Span> spans_;
    std::unique_ptr<ChildProcess> child_;
};
