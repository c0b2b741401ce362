#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Writes a file so that it is either replaced completely or not at all: the
// bytes go to a temporary file beside the target, which is flushed to disk
// and then put in the target's place in one step. Until commit() succeeds
// the target is untouched; a writer that is destroyed uncommitted removes
// its temporary file.
//
// The temporary file gets a new name, never longer than the target's own
// when one of that length is free, so that any path the target can have
// works for it too; it is created only where no file exists yet, so no
// neighbour of the target is ever overwritten or removed. Replacing keeps
// what the target is beyond its bytes: its attributes (hidden, system) and,
// on Windows, its security and creation time; natively its permissions.
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
    // Flushes, syncs and closes the temporary file and puts it in the
    // target's place. False, with the target untouched, when any step fails.
    bool commit();

private:
    bool createTemporary(std::string& path, bool& taken);
    void discard();

    std::string target_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
    std::uint64_t written_ = 0;
    bool failed_ = false;
};
