#pragma once

#include <cstdint>
#include <string>

#include "support/TempDir.h"

// Makes the record store's file reads or writes fail part way, as a failing
// disk does, through the StreamSeam: once `after` bytes have gone through,
// the stream's descriptor is swapped for one open the other way round, so
// that the C runtime's own next read (or write) fails and sets the stream's
// error state. One at a time; the seam is cleared again on destruction.
class StreamFault {
public:
    enum Direction { reading, writing };

    StreamFault(Direction direction, std::uint64_t after);
    ~StreamFault();
    StreamFault(const StreamFault&) = delete;
    StreamFault& operator=(const StreamFault&) = delete;

    // Whether a stream was broken.
    bool happened() const;

private:
    TempDir scratch_;
};
