#include "FileDialog.h"

#include "support/TempDir.h"
#include "support/Win32Test.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <string>

namespace {

class FileDialogTest : public testing::Test {
protected:
    FileDialogTest() {
        owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~FileDialogTest() override { DestroyWindow(owner); }

    HWND owner;
    TempDir folder;
    DialogAnswerer answerer;
};

void typeName(HWND dialog, const std::string& name) {
    HWND nameBox = GetDlgItem(dialog, cmb13);
    SetWindowTextA(nameBox ? nameBox : GetDlgItem(dialog, edt1), name.c_str());
}

// Types a name into the dialog's file name box and presses Open or Save.
void typeAndConfirm(HWND dialog, const std::string& name) {
    typeName(dialog, name);
    pressButton(dialog, IDOK);
}

// Goes into `folder` the way a user does, by typing it and pressing Open or
// Save, then chooses `name` there.
DialogAnswerer::Action browsingTo(const std::string& folder, const std::string& name) {
    return [folder, name](HWND dialog) {
        typeName(dialog, folder);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        typeAndConfirm(dialog, name);
    };
}

std::string currentDirectory() {
    char path[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, path);
    return path;
}

// Makes `path` the current directory for the life of the object.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& path) : saved_(currentDirectory()) {
        SetCurrentDirectoryA(path.c_str());
    }
    ~CurrentDirectory() { SetCurrentDirectoryA(saved_.c_str()); }

private:
    std::string saved_;
};

} // namespace

TEST_F(FileDialogTest, OpenReturnsTheChosenFileAndKeepsTheCurrentDirectory) {
    TempDir workingFolder;
    CurrentDirectory working(workingFolder.path().string());
    std::string before = currentDirectory();
    std::string path = folder.file("records.txt");
    writeBytes(path, "{a=b}\r\n");
    answerer.then(browsingTo(folder.path().string(), "records.txt"));

    FileDialog dialog;
    ASSERT_TRUE(dialog.open(owner));
    EXPECT_STREQ(dialog.filePath(), path.c_str());
    EXPECT_STREQ(dialog.fileTitle(), "records.txt");
    EXPECT_EQ(currentDirectory(), before);
    EXPECT_EQ(answerer.unexpected(), 0);
}

TEST_F(FileDialogTest, OpenRefusesAMissingFile) {
    HWND fileDialog = nullptr;
    answerer.then([&](HWND dialog) {
        fileDialog = dialog;
        typeAndConfirm(dialog, folder.file("missing.txt"));
    });
    // The complaint; once it is closed, give up on the file dialog.
    answerer.then([&](HWND box) {
        pressButton(box, IDOK);
        pressButton(fileDialog, IDCANCEL);
    });

    FileDialog dialog;
    EXPECT_FALSE(dialog.open(owner));
    ASSERT_EQ(answerer.seen().size(), 2u);
    EXPECT_NE(answerer.seen()[1].text, "");
    EXPECT_TRUE(answerer.allAnswered());
    EXPECT_EQ(answerer.unexpected(), 0);
}

TEST_F(FileDialogTest, CancelReturnsFalse) {
    answerer.thenPress(IDCANCEL);
    answerer.thenPress(IDCANCEL);
    FileDialog dialog;
    EXPECT_FALSE(dialog.open(owner));
    EXPECT_FALSE(dialog.save(owner));
    EXPECT_EQ(answerer.unexpected(), 0);
}

TEST_F(FileDialogTest, SaveTakesANameAsTypedAndKeepsTheCurrentDirectory) {
    TempDir workingFolder;
    CurrentDirectory working(workingFolder.path().string());
    std::string before = currentDirectory();
    std::string path = folder.file("records");
    answerer.then(browsingTo(folder.path().string(), "records"));

    FileDialog dialog;
    ASSERT_TRUE(dialog.save(owner));
    EXPECT_STREQ(dialog.filePath(), path.c_str());
    EXPECT_STREQ(dialog.fileTitle(), "records");
    EXPECT_EQ(currentDirectory(), before);
    EXPECT_EQ(answerer.unexpected(), 0);
}

TEST_F(FileDialogTest, SaveAsksBeforeReplacingAFile) {
    std::string path = folder.file("records.txt");
    writeBytes(path, "");
    HWND fileDialog = nullptr;
    answerer.then([&](HWND dialog) {
        fileDialog = dialog;
        typeAndConfirm(dialog, path);
    });
    // No keeps the dialog open; confirm the same name again and say Yes.
    answerer.then([&](HWND box) {
        pressButton(box, IDNO);
        pressButton(fileDialog, IDOK);
    });
    answerer.thenPress(IDYES);

    FileDialog dialog;
    ASSERT_TRUE(dialog.save(owner));
    EXPECT_STREQ(dialog.filePath(), path.c_str());
    EXPECT_EQ(answerer.seen().size(), 3u);
    EXPECT_EQ(answerer.unexpected(), 0);
}
