#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Writes a file so that it is either replaced completely or not at all: the
// bytes go to a temporary file beside the target, which is flushed to disk
// and then renamed over the target in one step, so that at every moment the
// target's name holds its old bytes or its new ones. Until commit() succeeds
// the target is untouched; a writer that is destroyed uncommitted removes
// its temporary file.
//
// The temporary file is named after the target and marked as ours
// ("notes.txt.~tabulo-4f2a.tmp"); where such a name is too long for the
// folder it gets a short random one. It is created only where no file exists
// yet, so no neighbour of the target is ever overwritten. A successful
// commit removes the marked temporary files of the same target that earlier
// saves left when they died, and nothing else. Replacing keeps what the
// target is beyond its bytes: its attributes (hidden, system) and, on
// Windows, its creation time and its own access rules; natively its
// permissions. A read-only target or a folder is never replaced.
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
    void tidyLeftovers() const;
    void discard();

    std::string target_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
    std::uint64_t written_ = 0;
    bool failed_ = false;
};
