#pragma once

#include <cstdint>
#include <functional>

// Told now and then how far a long operation has come, as done of total:
// the share done never goes back, and is whole when the operation ends. The
// caller may handle its window's messages in there, as long as nothing it
// does touches what the operation works on. An empty one is never called.
using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// The records (or comparisons) between two reports: often enough that a
// caller never waits long for the next, seldom enough to cost nothing.
constexpr std::uint64_t progressStride = 1024;

inline void reportProgress(const Progress& progress, std::uint64_t done, std::uint64_t total) {
    if (progress)
        progress(done, total);
}
