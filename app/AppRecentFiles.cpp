// The File menu's list of the database files used last: a file joins it when
// it is opened (Open, the command line, a drop, the list itself) or saved
// under a name, and choosing one opens it as Open does.
#include "App.h"

#include "FileNames.h"
#include "resource.h"

static_assert(IDM_RECENT_FILE_4 - IDM_RECENT_FILE_1 + 1 == RecentFiles::capacity);

namespace {

// The characters of a path that the menu shows; a longer one is shortened
// in the middle.
constexpr std::size_t shownPathLength = 60;

// "&1 " and the path, its own "&" doubled so that it shows rather than
// marking the item's key.
std::string itemText(std::size_t position, const std::string& path) {
    std::string text = "&" + std::to_string(position + 1) + " ";
    for (char c : shortenedPath(path, shownPathLength))
        text.append(c == '&' ? 2 : 1, c);
    return text;
}

int positionOf(HMENU menu, UINT id) {
    for (int position = 0; position < GetMenuItemCount(menu); ++position)
        if (GetMenuItemID(menu, position) == id)
            return position;
    return -1;
}

bool isRecentFileItem(UINT id) {
    return id >= IDM_RECENT_FILE_1 && id <= IDM_RECENT_FILE_4;
}

// The recent files and the separator after them.
void removeRecentFileItems(HMENU menu) {
    int first = positionOf(menu, IDM_RECENT_FILE_1);
    if (first < 0)
        return;
    while (isRecentFileItem(GetMenuItemID(menu, first)))
        DeleteMenu(menu, first, MF_BYPOSITION);
    DeleteMenu(menu, first, MF_BYPOSITION);
}

} // namespace

// The list keeps full paths: they name the file from whatever folder the
// program is started in, and a file opened by a relative name (from the
// command line) stands in the list once with the same file from the dialog.
void App::rememberRecentFile(const std::string& path) {
    RecentFiles files = settings.recentFiles();
    files.add(fullPathOf(path));
    settings.setRecentFiles(files);
    showRecentFiles();
}

void App::forgetRecentFile(const std::string& path) {
    RecentFiles files = settings.recentFiles();
    files.remove(path);
    settings.setRecentFiles(files);
    showRecentFiles();
}

// Between the separator after Save As and Exit, with a separator of their own;
// nothing when the list is empty.
void App::showRecentFiles() {
    HMENU fileMenu = GetSubMenu(GetMenu(mainWindow.hwnd), 0);
    if (!fileMenu)
        return;
    removeRecentFileItems(fileMenu);
    int exit = positionOf(fileMenu, IDM_EXIT);
    const std::vector<std::string>& paths = settings.recentFiles().paths();
    if (exit < 0 || paths.empty())
        return;
    UINT at = static_cast<UINT>(exit);
    for (std::size_t position = 0; position < paths.size(); ++position)
        InsertMenuA(fileMenu, at++, MF_BYPOSITION | MF_STRING, IDM_RECENT_FILE_1 + position,
                    itemText(position, paths[position]).c_str());
    InsertMenuA(fileMenu, at, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
}

// Exactly as Open opens it; a file that can no longer be opened leaves the
// list.
void App::onRecentFile(std::size_t position) {
    const std::vector<std::string>& paths = settings.recentFiles().paths();
    if (position >= paths.size())
        return;
    std::string path = paths[position];
    if (openFile(path))
        return;
    forgetRecentFile(path);
    showError("Error loading database file!");
}
