#pragma once

#include <cstdint>
#include <cstdio>

// Where tests make a disk fail part way through a file. The reader of
// RecordList::load calls beforeRead, and the writer of RecordList::save
// beforeWrite, with its stream and the bytes read or written so far, just
// before each block it reads or writes; a test can break the stream there,
// so that the C runtime's own next read or write fails. The program leaves
// both empty.
struct StreamSeam {
    void (*beforeRead)(std::FILE* stream, std::uint64_t bytesSoFar) = nullptr;
    void (*beforeWrite)(std::FILE* stream, std::uint64_t bytesSoFar) = nullptr;
};

extern StreamSeam streamSeam;
