#include "AtomicFileWriter.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "StreamSeam.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <dirent.h>
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

// What marks a temporary file of ours: "<database>.~tabulo-<4 hex
// digits>.tmp", beside the database, so that a user who finds one left by a
// save that died knows what it is and whose it is.
constexpr std::string_view markStart = ".~tabulo-";
constexpr std::string_view markEnd = ".tmp";
constexpr std::size_t markDigits = 4;
constexpr std::size_t markLength = markStart.size() + markDigits + markEnd.size();

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

// Whether a name that starts with the database's name goes on as the mark.
bool endsWithMark(std::string_view name, std::size_t databaseNameLength) {
    if (name.size() != databaseNameLength + markLength ||
        name.compare(databaseNameLength, markStart.size(), markStart) != 0 ||
        name.compare(name.size() - markEnd.size(), markEnd.size(), markEnd) != 0)
        return false;
    for (std::size_t i = databaseNameLength + markStart.size(); i < name.size() - markEnd.size(); ++i)
        if (!isHexDigit(name[i]))
            return false;
    return true;
}

// Names for the temporary file: the marked name first; where that is too
// long for the folder, "~" and random digits and lower-case letters as long
// as the target's name (a single character when only one fits). They only
// need to differ from one try to the next and from other writers' names;
// that none of them replaces a file is left to the create-new open. The "~"
// keeps the short ones clear of the device names that Windows reserves
// (CON, NUL...).
class TemporaryNames {
public:
    explicit TemporaryNames(const void* writer)
        : state_(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                 reinterpret_cast<std::uintptr_t>(writer)) {}

    std::string marked(const std::string& databaseName) {
        static const char digits[] = "0123456789abcdef";
        std::string name = databaseName;
        name += markStart;
        std::uint64_t bits = random();
        for (std::size_t i = 0; i < markDigits; ++i, bits >>= 4)
            name.push_back(digits[bits & 15]);
        return name += markEnd;
    }

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

// The access rules the target has of its own, beyond those it inherits from
// its folder (which the temporary file inherits too).
bool hasOwnAccessRules(PSECURITY_DESCRIPTOR descriptor) {
    SECURITY_DESCRIPTOR_CONTROL control;
    DWORD revision;
    BOOL present, defaulted;
    PACL rules;
    if (!GetSecurityDescriptorControl(descriptor, &control, &revision) ||
        !GetSecurityDescriptorDacl(descriptor, &present, &rules, &defaulted) || !present)
        return false;
    if ((control & SE_DACL_PROTECTED) || !rules)
        return true;
    for (DWORD i = 0; i < rules->AceCount; ++i) {
        void* rule;
        if (GetAce(rules, i, &rule) && !(static_cast<ACE_HEADER*>(rule)->AceFlags & INHERITED_ACE))
            return true;
    }
    return false;
}

void copyOwnAccessRules(const std::string& from, const std::string& to) {
    DWORD size = 0;
    GetFileSecurityA(from.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    std::vector<char> descriptor(size);
    if (size != 0 && GetFileSecurityA(from.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size) &&
        hasOwnAccessRules(descriptor.data()))
        SetFileSecurityA(to.c_str(), DACL_SECURITY_INFORMATION, descriptor.data());
}

void setCreationTime(const std::string& path, const FILETIME& created) {
    FileHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file.valid())
        SetFileTime(file.get(), &created, nullptr, nullptr);
}

// The new file takes the old one's place in one rename that replaces the
// name, so that whenever the program stops, the name holds the old bytes or
// the new ones. Before that it takes on what the old file is beyond its
// bytes (its attributes were given at creation): its creation time and its
// own access rules. A read-only file is refused, as a replace would refuse
// it, and a folder is never replaced: it is not a database. A file that
// another program holds open fails the rename and stays as it was.
bool putInPlace(const std::string& temporary, const std::string& target) {
    WIN32_FILE_ATTRIBUTE_DATA old;
    if (!GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &old))
        return MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    if (old.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))
        return false;
    setCreationTime(temporary, old.ftCreationTime);
    copyOwnAccessRules(target, temporary);
    return MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// Removes the temporary files of the database that saves which died left in
// its folder. The file system matches the database's name as it compares
// names; the mark is checked here. A file still being written by another
// save is open and cannot be removed.
void removeLeftovers(const std::string& folder, const std::string& databaseName) {
    WIN32_FIND_DATAA found;
    std::string pattern = folder + databaseName;
    pattern.append(markStart).append(markDigits, '?').append(markEnd);
    std::unique_ptr<void, decltype(&FindClose)> search(FindFirstFileA(pattern.c_str(), &found), FindClose);
    if (search.get() == INVALID_HANDLE_VALUE) {
        search.release();
        return;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && endsWithMark(found.cFileName, databaseName.size()))
            DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search.get(), &found));
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

bool putInPlace(const std::string& temporary, const std::string& target) {
    return std::rename(temporary.c_str(), target.c_str()) == 0;
}

void removeLeftovers(const std::string& folder, const std::string& databaseName) {
    std::unique_ptr<DIR, int (*)(DIR*)> entries(opendir(folder.empty() ? "." : folder.c_str()), closedir);
    if (!entries)
        return;
    while (const dirent* entry = readdir(entries.get())) {
        std::string_view name = entry->d_name;
        struct stat info;
        if (name.substr(0, databaseName.size()) == databaseName && endsWithMark(name, databaseName.size()) &&
            fstatat(dirfd(entries.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode))
            unlinkat(dirfd(entries.get()), entry->d_name, 0);
    }
}

#endif

} // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& target) : target_(target) {}

AtomicFileWriter::~AtomicFileWriter() {
    discard();
}

// The marked name first. Where it cannot be made for another reason than
// being taken (a path too long for the folder), short names: as long as the
// target's first, so that the temporary path is no longer than the target's
// own; longer ones only when those are taken.
bool AtomicFileWriter::open() {
    discard();
    failed_ = true;
    written_ = 0;
    std::size_t start = nameStart(target_);
    std::string folder = target_.substr(0, start);
    std::string targetName = target_.substr(start);
    TemporaryNames names(this);
    bool taken = true;
    for (int tries = 0; tries < triesPerLength && taken; ++tries) {
        std::string path = folder + names.marked(targetName);
        if (createTemporary(path, taken))
            return true;
    }
    std::size_t length = targetName.empty() ? 1 : targetName.size();
    for (std::size_t extra = 0; extra <= mostExtraLength; ++extra) {
        for (int tries = 0; tries < triesPerLength; ++tries) {
            std::string name = names.next(length + extra);
            if (sameName(name, targetName))
                continue;
            std::string path = folder + name;
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
    bool placed = written && closed && putInPlace(temporary_, target_);
    if (placed) {
        temporary_.clear();
        tidyLeftovers();
    }
    discard();
    return placed;
}

// Leftovers are only tidied: without the memory for it they wait for a later
// save, and the save still succeeds.
void AtomicFileWriter::tidyLeftovers() const {
    try {
        std::size_t start = nameStart(target_);
        removeLeftovers(target_.substr(0, start), target_.substr(start));
    } catch (const std::bad_alloc&) {
    }
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
