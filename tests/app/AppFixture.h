#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "App.h"
#include "support/TempDir.h"
#include "support/Win32Test.h"

// The test program's operator new fails as it does with the address space
// used up: while allocationLimit is not zero, for a size larger than it; and
// while allocationsLeft is not negative, once, after that many more.
extern std::atomic<std::size_t> allocationLimit;
extern std::atomic<long> allocationsLeft;

// Types a path into an open or save dialog and confirms it.
DialogAnswerer::Action choosePath(const std::string& path);

// Runs an App in a fresh working folder (where it keeps "settings.txt") and
// drives it as a user would: messages go through App::processMessage just
// as in the program's own loop, and message boxes and dialogs are answered
// by the DialogAnswerer.
// Its helpers are public, so that the steps of a table's rows can use them.
class AppTest : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    void start();
    void stop();
    // Handles the waiting messages through the App's own loop.
    void runLoop();

    HWND mainWindow() const { return app->mainWindowHandle(); }
    HWND list() const { return app->listBoxHandle(); }
    HWND nameEdit() const { return app->recordDialog().nameEdit(); }
    HWND valueEdit() const { return app->recordDialog().valueEdit(); }

    // A menu command, accelerator or context menu choice.
    void command(int id);
    // A key press (down and up) sent to a window through the loop, with the
    // modifiers (FCONTROL, FALT, FSHIFT) held.
    void pressKey(HWND window, WPARAM key, BYTE modifiers = 0);
    // Characters typed into a window through the loop, one at a time.
    void type(HWND window, const std::string& text);
    // A click with the left button on list item `index`.
    void clickItem(int index);
    // The point of the middle of a list item, in screen coordinates.
    POINT itemPoint(int index) const;
    // The mouse as the drag list box reads it: the real pointer at a point
    // of the screen and the button or move message there.
    void mouse(UINT message, POINT screen);
    // A point of the screen as the list box's mouse messages carry it.
    LPARAM listPoint(POINT screen) const;
    // The drag list box starts a drag where the real pointer is, whatever
    // point a click names: between drags the pointer waits in a corner,
    // away from every list box.
    static void parkPointer();

    // Whether the menu bar's item is greyed.
    bool greyed(UINT id) const;
    std::vector<std::string> listItems() const;
    int listSelection() const;
    std::vector<std::string> recordNames() const;
    std::string settingsFile() const { return dir.file("settings.txt"); }
    std::string file(const std::string& name) const { return dir.file(name); }

    // A database file in the working folder with these records.
    std::string writeDatabase(const std::string& name, const std::vector<Record>& records);
    void openDatabase(const std::vector<Record>& records);

    TempDir dir;
    DialogAnswerer answers;
    // Whether the loop has met the quit message, and its exit code.
    bool quitPosted = false;
    WPARAM exitCode = 0;
    std::unique_ptr<App> app;

private:
    std::string previousDirectory_;
};

