#include "AtomicFileWriter.h"

#include <cctype>
#include <chrono>
#include <cstdio>

#include "StreamSeam.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Random names of one length are tried this many times before a name one
// character longer is tried, up to this many characters longer.
constexpr int triesPerLength = 16;
constexpr std::size_t mostExtraLength = 4;

// Where the file name of a path starts.
std::size_t nameStart(const std::string& path) {
#ifdef _WIN32
    std::size_t separator = path.find_last_of("\\/:");
#else
    std::size_t separator = path.find_last_of('/');
#endif
    return separator == std::string::npos ? 0 : separator + 1;
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Names for the temporary file: "~" and random digits and lower-case
// letters (a single character when only one fits). They only need to differ
// from one try to the next and from other writers' names; that none of them
// replaces a file is left to the create-new open. The "~" keeps them clear
// of the device names that Windows reserves (CON, NUL...).
class TemporaryNames {
public:
    explicit TemporaryNames(const void* writer)
        : state_(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                 reinterpret_cast<std::uintptr_t>(writer)) {}

    std::string next(std::size_t length) {
        static const char letters[] = "0123456789abcdefghijklmnopqrstuvwxyz";
        std::string name = length > 1 ? "~" : "";
        while (name.size() < length)
            name.push_back(letters[random() % (sizeof letters - 1)]);
        return name;
    }

private:
    // splitmix64
    std::uint64_t random() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    std::uint64_t state_;
};

enum class Placement { done, failed, onlyCopyLeft };

#ifdef _WIN32

bool syncToDisk(std::FILE* file) {
    return _commit(_fileno(file)) == 0;
}

// The attributes that the saved file takes over from the file it replaces.
// Archive is always set: the bytes are new.
DWORD attributesFor(const std::string& target) {
    DWORD old = GetFileAttributesA(target.c_str());
    DWORD kept = old == INVALID_FILE_ATTRIBUTES
                     ? 0
                     : old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    return kept | FILE_ATTRIBUTE_ARCHIVE;
}

// Owns a file handle until it is handed on.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid())
            CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    // Someone else closes the handle from now on.
    void release() { handle_ = INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// A C stream that writes to the handle; the stream owns the handle from
// then on.
std::FILE* streamOf(FileHandle& handle) {
    int descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle.get()), _O_WRONLY | _O_BINARY);
    if (descriptor == -1)
        return nullptr;
    handle.release();
    std::FILE* file = _fdopen(descriptor, "wb");
    if (!file)
        _close(descriptor);
    return file;
}

// Creates the file only if no file of that name exists (taken tells that
// case apart from other failures) and opens it as a C stream.
std::FILE* createNew(const std::string& path, const std::string& target, bool& taken) {
    std::FILE* file;
    {
        FileHandle handle(
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributesFor(target), nullptr));
        if (!handle.valid()) {
            DWORD error = GetLastError();
            taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
            return nullptr;
        }
        file = streamOf(handle);
    }
    if (!file)
        DeleteFileA(path.c_str());
    return file;
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Whether another program holds the file open in a way that keeps it from
// being renamed. ReplaceFileA may leave a file of its own beside a target
// that it fails to move aside, so such a target is never handed to it.
bool heldOpen(const std::string& path) {
    FileHandle handle(CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    return !handle.valid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

// ReplaceFileA is given full paths: it is not reliable with relative ones.
std::string fullPath(const std::string& path) {
    DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    std::string full(size, '\0');
    DWORD length = size == 0 ? 0 : GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return path;
    full.resize(length);
    return full;
}

// ReplaceFileA keeps the target's identity (its security and creation time)
// and refuses a read-only target, which a plain move might replace. It has
// nothing to replace for a new file; a move puts that in place. A folder is
// never replaced: it is not a database, and a replace may move it aside.
Placement putInPlace(const std::string& temporary, const std::string& target) {
    DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) ? Placement::done
                                                                                       : Placement::failed;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) || heldOpen(target))
        return Placement::failed;
    if (ReplaceFileA(fullPath(target).c_str(), fullPath(temporary).c_str(), nullptr,
                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return Placement::done;
    if (exists(target))
        return Placement::failed;
    // Without a backup name, a replace that fails late has removed the
    // target already: the temporary file holds the only copy and goes into
    // the target's place after all, or stays where it is.
    return MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) ? Placement::done
                                                                                  : Placement::onlyCopyLeft;
}

#else

bool syncToDisk(std::FILE* file) {
    return fsync(fileno(file)) == 0;
}

// Creates the file only if no file of that name exists (taken tells that
// case apart from other failures), with the permissions of the target when
// there is one, and opens it as a C stream.
std::FILE* createNew(const std::string& path, const std::string& target, bool& taken) {
    int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor == -1) {
        taken = errno == EEXIST;
        return nullptr;
    }
    struct stat old;
    if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        fchmod(descriptor, old.st_mode & 07777);
    std::FILE* file = fdopen(descriptor, "wb");
    if (!file) {
        close(descriptor);
        unlink(path.c_str());
    }
    return file;
}

Placement putInPlace(const std::string& temporary, const std::string& target) {
    return std::rename(temporary.c_str(), target.c_str()) == 0 ? Placement::done : Placement::failed;
}

#endif

} // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& target) : target_(target) {}

AtomicFileWriter::~AtomicFileWriter() {
    discard();
}

// The first names tried are as long as the target's, so that the temporary
// path is no longer than the target's own; longer ones only when those are
// taken.
bool AtomicFileWriter::open() {
    discard();
    failed_ = true;
    written_ = 0;
    std::size_t start = nameStart(target_);
    std::string targetName = target_.substr(start);
    std::size_t length = targetName.empty() ? 1 : targetName.size();
    TemporaryNames names(this);
    for (std::size_t extra = 0; extra <= mostExtraLength; ++extra) {
        for (int tries = 0; tries < triesPerLength; ++tries) {
            std::string name = names.next(length + extra);
            if (sameName(name, targetName))
                continue;
            std::string path = target_.substr(0, start) + name;
            bool taken = false;
            if (createTemporary(path, taken))
                return true;
            if (!taken)
                return false;
        }
    }
    return false;
}

// The path is taken over before the file exists: nothing may fail between
// creating the file and knowing what to remove.
bool AtomicFileWriter::createTemporary(std::string& path, bool& taken) {
    temporary_.swap(path);
    file_ = createNew(temporary_, target_, taken);
    if (!file_)
        temporary_.clear();
    failed_ = file_ == nullptr;
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
    Placement placement = written && closed ? putInPlace(temporary_, target_) : Placement::failed;
    // In the target's place, or the only copy left: no longer to be removed.
    if (placement != Placement::failed)
        temporary_.clear();
    discard();
    return placement == Placement::done;
}

// Closes and removes the temporary file, if there is one.
void AtomicFileWriter::discard() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::remove(temporary_.c_str());
        temporary_.clear();
    }
}
