#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Writes a file so that it is either replaced completely or not at all: the
// bytes go to a temporary file beside the target, which is flushed to disk
// and then moved over the target in one step. Until commit() succeeds the
// target is untouched; a writer that is destroyed uncommitted removes its
// temporary file.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::string& target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file; false when it cannot be created.
    bool open();
    // Remembers a failed write; commit() then fails.
    void write(const char* data, std::size_t size);
    // Flushes, syncs and closes the temporary file and moves it over the
    // target. False, with the target untouched, when any step fails.
    bool commit();

    const std::string& temporaryPath() const { return temporary_; }

private:
    void discard();

    std::string target_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
    std::uint64_t written_ = 0;
    bool failed_ = false;
};
