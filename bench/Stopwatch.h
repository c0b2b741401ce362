#pragma once

#include <windows.h>

// Wall-clock time since construction (or the last restart), from the
// performance counter.
class Stopwatch {
public:
    Stopwatch() { restart(); }

    void restart() { QueryPerformanceCounter(&start_); }

    double seconds() const {
        LARGE_INTEGER now;
        LARGE_INTEGER frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start_;
};
