#include "FileDialog.h"

#include <commdlg.h>

#include <cstddef>

namespace {

// One filter, every file: description "*.*", pattern "*.*", then the empty
// string that ends the list (the literal's own NUL).
constexpr char anyFileFilter[] = "*.*\0*.*\0";

// The structure up to lpTemplateName, without the members added in Windows
// 2000 (OPENFILENAME_SIZE_VERSION_400A, which is not a constant expression).
// Its size depends on the pointer width; the dialogs refuse a wrong one.
constexpr DWORD structureSize =
    offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName);
static_assert(sizeof(void*) != 4 || structureSize == 76);

constexpr DWORD openFlags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
constexpr DWORD saveFlags = OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;

} // namespace

FileDialog::FileDialog() : fileTitle_(), filePath_() {}

bool FileDialog::open(HWND owner) {
    return run(owner, openFlags, GetOpenFileNameA);
}

bool FileDialog::save(HWND owner) {
    return run(owner, saveFlags, GetSaveFileNameA);
}

bool FileDialog::run(HWND owner, DWORD flags, DialogFunction showDialog) {
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = structureSize;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = anyFileFilter;
    dialog.nFilterIndex = 0;
    dialog.lpstrFile = filePath_;
    dialog.nMaxFile = bufferSize;
    dialog.lpstrFileTitle = fileTitle_;
    dialog.nMaxFileTitle = bufferSize;
    dialog.lpstrInitialDir = nullptr;
    dialog.lpstrTitle = "";
    dialog.lpstrDefExt = nullptr;
    dialog.Flags = flags;
    return showDialog(&dialog) != 0;
}
