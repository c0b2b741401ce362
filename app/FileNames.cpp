#include "FileNames.h"

#include <windows.h>

#include <shlwapi.h>

namespace {

std::wstring widened(const std::string& text) {
    int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string narrowed(const std::wstring& wide) {
    int size = static_cast<int>(wide.size());
    std::string text(
        static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
    return text;
}

// Asks for no access, so that a file another program holds open without
// sharing can still be looked at.
bool fileIdOf(const std::string& path, BY_HANDLE_FILE_INFORMATION& id) {
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool known = GetFileInformationByHandle(file, &id) != 0;
    CloseHandle(file);
    return known;
}

} // namespace

std::string fullPathOf(const std::string& path) {
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

// The system's ordinal comparison that ignores case is the file system's
// own: it upper-cases with the same table as NTFS.
bool sameFileName(const std::string& a, const std::string& b) {
    std::wstring wideA = widened(a);
    std::wstring wideB = widened(b);
    return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

bool sameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION idA;
    BY_HANDLE_FILE_INFORMATION idB;
    if (fileIdOf(a, idA) && fileIdOf(b, idB))
        return idA.dwVolumeSerialNumber == idB.dwVolumeSerialNumber && idA.nFileIndexHigh == idB.nFileIndexHigh &&
               idA.nFileIndexLow == idB.nFileIndexLow;
    return sameFileName(fullPathOf(a), fullPathOf(b));
}

// Counted in characters, not bytes, so that no double-byte character is
// cut in two. The system's PathCompactPathEx keeps the start of a path
// instead, and of a long file name only its start: neither the folder nor
// the extension would show.
std::string shortenedPath(const std::string& path, std::size_t length) {
    std::wstring wide = widened(path);
    if (wide.size() <= length)
        return path;
    const wchar_t* afterRoot = PathSkipRootW(wide.c_str());
    std::wstring root = wide.substr(0, afterRoot ? static_cast<std::size_t>(afterRoot - wide.c_str()) : 0);
    const std::wstring gap = L"...\\";
    std::size_t room = length > root.size() + gap.size() ? length - root.size() - gap.size() : 0;
    std::size_t name = wide.find_last_of(L'\\') + 1; // 0 without a backslash
    std::wstring end;
    if (wide.size() - name <= room) {
        // The file name and as many whole folders before it as fit.
        end = wide.substr(wide.find(L'\\', wide.size() - room - 1) + 1);
    } else {
        const std::wstring cut = L"...";
        end = cut + wide.substr(wide.size() - (room > cut.size() ? room - cut.size() : 0));
    }
    return narrowed(root + gap + end);
}
