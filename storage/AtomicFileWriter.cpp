#include "AtomicFileWriter.h"

#include <cstdio>

#include "StreamSeam.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

bool syncToDisk(std::FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

bool replaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

} // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& target)
    : target_(target), temporary_(target + ".saving~") {}

AtomicFileWriter::~AtomicFileWriter() {
    discard();
}

bool AtomicFileWriter::open() {
    discard();
    file_ = std::fopen(temporary_.c_str(), "wb");
    failed_ = file_ == nullptr;
    written_ = 0;
    return !failed_;
}

void AtomicFileWriter::write(const char* data, std::size_t size) {
    if (!file_ || failed_ || size == 0)
        return;
    if (streamSeam.beforeWrite)
        streamSeam.beforeWrite(file_, written_);
    if (std::fwrite(data, 1, size, file_) != size)
        failed_ = true;
    written_ += size;
}

bool AtomicFileWriter::commit() {
    if (!file_)
        return false;
    bool written = !failed_ && std::fflush(file_) == 0 && std::ferror(file_) == 0 && syncToDisk(file_);
    bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (written && closed && replaceFile(temporary_, target_))
        return true;
    std::remove(temporary_.c_str());
    return false;
}

void AtomicFileWriter::discard() {
    if (!file_)
        return;
    std::fclose(file_);
    file_ = nullptr;
    std::remove(temporary_.c_str());
}
