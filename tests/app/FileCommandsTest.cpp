#include "AppFixture.h"

#include <shlobj.h>

#include <filesystem>
#include <iterator>

#include "resource.h"
#include "support/RecordLists.h"
#include "support/SettingsFile.h"

namespace {

using Names = std::vector<std::string>;

// A drop of files as the shell delivers it: a DROPFILES block with the
// paths one after another, ended by an empty one.
HDROP makeDrop(const Names& paths) {
    std::size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths)
        size += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    char* at = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& path : paths) {
        memcpy(at, path.c_str(), path.size() + 1);
        at += path.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// A long path shows shortened, its drive and the end of its file name kept
// and an "&" of its own doubled; a file that is gone leaves the list;
// opened or saved, a file goes to the top.
TEST_F(AppTest, RecentFilesStandAboveExitAndOpenAsOpenDoes) {
    std::string folder = file(std::string(70, 'f'));
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string longPath = folder + "\\R&D.txt";
    ASSERT_TRUE(listOf({{"from the list", ""}}).save(longPath));
    std::string gone = file("gone " + std::string(100, 'g') + ".txt");
    ASSERT_TRUE(writeSettings(dir, {{"recentFile1", longPath}, {"recentFile2", gone}}));
    start();
    HMENU fileMenu = GetSubMenu(GetMenu(mainWindow()), 0);
    auto item = [&](int position) {
        char text[128] = {};
        GetMenuStringA(fileMenu, position, text, sizeof text, MF_BYPOSITION);
        return std::string(text);
    };
    ASSERT_EQ(GetMenuItemCount(fileMenu), 9);
    EXPECT_EQ(item(5).rfind("&1 C:\\", 0), 0u) << item(5);
    EXPECT_TRUE(item(5).ends_with("...\\R&&D.txt")) << item(5);
    EXPECT_TRUE(item(6).starts_with("&2 " + gone.substr(0, 3)) && item(6).ends_with("gg.txt") && item(6).size() <= 63)
        << item(6);
    EXPECT_EQ((Names{item(4), item(7), item(8)}), (Names{"", "", "E&xit"}));

    command(IDM_RECENT_FILE_1);
    EXPECT_EQ(windowText(mainWindow()), "Tabulo 0.6 - " + longPath);
    EXPECT_EQ(listItems(), Names{"from the list"});
    answers.thenPress(IDOK);
    command(IDM_RECENT_FILE_2);
    ASSERT_EQ(answers.seen().size(), 1u);
    EXPECT_EQ(answers.seen()[0].text, "Error loading database file!");
    EXPECT_EQ(GetMenuItemCount(fileMenu), 8);

    std::string other = writeDatabase("other.txt", {{"x", ""}});
    ASSERT_TRUE(app->openFile("other.txt")); // listed by its full path
    std::string saved = file("saved.txt");
    answers.then(choosePath(saved));
    command(IDM_SAVE_AS);
    EXPECT_EQ(app->preferences().recentFiles().paths(), (Names{saved, other, longPath}));
    EXPECT_EQ(item(5), "&1 " + saved);
}

// As the file system compares names: "\xC9" and "\xE9" (E acute in either
// case) name one file, but on a double-byte code page "\x83\x41" and
// "\x83\x61" are two characters, not one followed by "A" or "a".
TEST_F(AppTest, RecentFilesNameEachFileOnceOnDoubleByteCodePagesToo) {
    const Names paths{"C:\\\x83\x41.txt", "C:\\\x83\x61.txt", "C:\\\xC9.txt", "C:\\\xE9.txt"};
    ASSERT_TRUE(writeSettings(dir, {{"recentFile1", paths[0]}, {"recentFile2", paths[1]}, {"recentFile3", paths[2]},
                                    {"recentFile4", paths[3]}}));
    start();
    EXPECT_EQ(app->preferences().recentFiles().paths(), IsDBCSLeadByte(0x83) ? paths : (Names{paths[0], paths[2]}));
}

TEST_F(AppTest, OpenReplacesTheListAndNamesTheFile) {
    start();
    command(IDM_ADD);
    std::string path = writeDatabase("notes.txt", {{"x", "1"}, {"y", "2\r\nlines"}});
    answers.then(choosePath(path));
    command(IDM_OPEN);
    EXPECT_EQ(listItems(), (Names{"x", "y"}));
    EXPECT_EQ(windowText(mainWindow()), "Tabulo 0.6 - " + path);
    EXPECT_EQ(listSelection(), -1);
    EXPECT_EQ(app->shownIndex(), -1);
    EXPECT_FALSE(IsWindowEnabled(valueEdit()));
}

TEST_F(AppTest, OpenCancelledKeepsThePendingEdit) {
    start();
    openDatabase({{"a", "value"}});
    clickItem(0);
    SetFocus(valueEdit());
    type(valueEdit(), "new ");
    answers.thenPress(IDCANCEL);
    command(IDM_OPEN);
    EXPECT_EQ(windowText(valueEdit()), "new value");
    EXPECT_EQ(app->shownIndex(), 0);
    EXPECT_EQ(app->recordList().at(0).value(), "value");
}

TEST_F(AppTest, OpenOfAnUnreadableFileChangesNothing) {
    start();
    openDatabase({{"keep", ""}});
    std::string title = windowText(mainWindow());
    std::string locked = writeDatabase("locked.txt", {{"other", ""}});
    HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    answers.then(choosePath(locked));
    answers.thenPress(IDOK);
    command(IDM_OPEN);
    CloseHandle(lock);
    ASSERT_EQ(answers.seen().size(), 2u);
    EXPECT_EQ(answers.seen()[1].text, "Error loading database file!");
    EXPECT_EQ(answers.seen()[1].caption, "Error");
    EXPECT_EQ(listItems(), Names{"keep"});
    EXPECT_EQ(windowText(mainWindow()), title);

    EXPECT_FALSE(app->openFile(file("missing.txt")));
    EXPECT_EQ(listItems(), Names{"keep"});
    EXPECT_EQ(windowText(mainWindow()), title);
}

TEST_F(AppTest, SaveCommitsThePanelAndWritesTheExactBytes) {
    start();
    openDatabase({{"a{b}", "one"}, {"c", "two"}});
    clickItem(1);
    SetFocus(valueEdit());
    SendMessageA(valueEdit(), EM_SETSEL, 0, -1);
    type(valueEdit(), "line\\");
    SendMessageA(valueEdit(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("\r\nnext"));
    command(IDM_SAVE);
    EXPECT_EQ(readBytes(app->currentFileName()), "{a\\ob\\c=one}\r\n{c=line\\\\\r\nnext}\r\n");
    EXPECT_EQ(listSelection(), 1);
}

TEST_F(AppTest, SaveOfAnUntitledListAsksForANameAndCancelKeepsItUntitled) {
    start();
    command(IDM_ADD);
    answers.thenPress(IDCANCEL);
    command(IDM_SAVE);
    EXPECT_EQ(windowText(mainWindow()), "Tabulo 0.6 - Untitled");
    EXPECT_TRUE(app->currentFileName().empty());

    std::string path = file("saved.txt");
    answers.then(choosePath(path));
    command(IDM_SAVE);
    EXPECT_EQ(readBytes(path), "{New Record=}\r\n");
    EXPECT_EQ(app->currentFileName(), path);
    EXPECT_EQ(windowText(mainWindow()), "Tabulo 0.6 - " + path);
}

TEST_F(AppTest, SaveAsToAFileThatCannotBeReplacedKeepsTheName) {
    start();
    openDatabase({{"a", ""}});
    std::string path = app->currentFileName();
    std::string locked = writeDatabase("locked.txt", {{"theirs", ""}});
    HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    answers.then(choosePath(locked));
    answers.thenPress(IDYES); // replace the existing file?
    answers.thenPress(IDOK);
    command(IDM_SAVE_AS);
    CloseHandle(lock);
    ASSERT_EQ(answers.seen().size(), 3u);
    EXPECT_EQ(answers.seen()[2].text, "Error saving file!");
    EXPECT_EQ(readBytes(locked), "{theirs=}\r\n");
    EXPECT_EQ(app->currentFileName(), path);
    EXPECT_EQ(windowText(mainWindow()), "Tabulo 0.6 - " + path);
}

TEST_F(AppTest, AFailedSaveSaysSoAndKeepsThePreviousFile) {
    start();
    openDatabase({{"a", "1"}});
    std::string path = app->currentFileName();
    command(IDM_ADD);
    // Another program holds the file open without sharing: it cannot be replaced.
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    answers.thenPress(IDOK);
    command(IDM_SAVE);
    CloseHandle(lock);
    ASSERT_EQ(answers.seen().size(), 1u);
    EXPECT_EQ(answers.seen()[0].text, "Error saving file!");
    EXPECT_EQ(readBytes(path), "{a=1}\r\n");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string(), path) << "left in the folder";
}

TEST_F(AppTest, LookingAtRecordsWithNulBytesKeepsEveryByte) {
    start();
    using namespace std::string_literals;
    const std::string bytes = "{a=x\0y}\r\n{b=z}\r\n{n\0m=1}\r\n"s;
    std::string path = file("zeros.txt");
    writeBytes(path, bytes);
    ASSERT_TRUE(app->openFile(path));
    for (int item : {0, 1, 2, 0})
        clickItem(item);
    command(IDM_SAVE);
    EXPECT_EQ(readBytes(path), bytes);
}

TEST_F(AppTest, ASaveThatRunsOutOfMemorySaysSoAndKeepsTheFile) {
    start();
    openDatabase({{"a", "1"}});
    clickItem(0);
    // A pasted text larger than what can still be allocated.
    std::string pasted(4 << 20, 'p');
    SetWindowTextA(valueEdit(), pasted.c_str());
    answers.thenPress(IDOK);
    allocationLimit = 1 << 20;
    command(IDM_SAVE);
    allocationLimit = 0;
    ASSERT_EQ(answers.seen().size(), 1u);
    EXPECT_EQ(answers.seen()[0].text, "Out of memory!");
    EXPECT_EQ(readBytes(app->currentFileName()), "{a=1}\r\n");
    EXPECT_EQ(app->recordList().at(0).value(), "1");
}

TEST_F(AppTest, OpeningAFileWithPartsOutsideTheFormatWarnsOnce) {
    start();
    std::string notes = file("notes.txt");
    writeBytes(notes, "Two lines of\r\nordinary text.\r\n");
    answers.thenPress(IDOK);
    ASSERT_TRUE(app->openFile(notes));
    ASSERT_EQ(answers.seen().size(), 1u);
    EXPECT_EQ(answers.seen()[0].text,
              "Part of this file is not in the database format. Saving over it will change or remove that part.");
    EXPECT_EQ(answers.seen()[0].caption, "Error"); // the platform's default caption
    EXPECT_EQ(windowText(mainWindow()), "Tabulo 0.6 - " + notes);

    ASSERT_TRUE(app->openFile(writeDatabase("clean.txt", {{"a", "1"}, {"b", ""}})));
    EXPECT_EQ(answers.seen().size(), 1u);
}

TEST_F(AppTest, ADropOpensTheFirstFileOnly) {
    start();
    std::string first = writeDatabase("first.txt", {{"from first", ""}});
    std::string second = writeDatabase("second.txt", {{"from second", ""}});
    SendMessageA(mainWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop({first, second})), 0);
    runLoop();
    EXPECT_EQ(listItems(), Names{"from first"});
    EXPECT_EQ(windowText(mainWindow()), "Tabulo 0.6 - " + first);

    SendMessageA(mainWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop({file("missing.txt")})), 0);
    runLoop();
    EXPECT_TRUE(answers.seen().empty());
    EXPECT_EQ(listItems(), Names{"from first"});
    EXPECT_EQ(windowText(mainWindow()), "Tabulo 0.6 - " + first);
}

} // namespace
