#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "HostWindow.h"
#include "RecordDialog.h"
#include "resource.h"
#include "support/TempDir.h"
#include "support/Win32Test.h"

// The panel is made from the program's own module, so a missing template
// means a program file without it: the test copies this test program, takes
// the template out of the copy and runs the copy's part of the test there.

namespace {

const char outcomeFile[] = "outcome.txt";

bool isRecordTemplate(LPCSTR type, LPCSTR name) {
    return IS_INTRESOURCE(type) && IS_INTRESOURCE(name) && type == MAKEINTRESOURCEA(5) &&
           name == MAKEINTRESOURCEA(IDD_RECORD);
}

BOOL CALLBACK copyLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR update) {
    if (isRecordTemplate(type, name))
        return TRUE;
    HRSRC resource = FindResourceExA(module, type, name, language);
    HGLOBAL data = LoadResource(module, resource);
    return UpdateResourceA(reinterpret_cast<HANDLE>(update), type, name, language, LockResource(data),
                           SizeofResource(module, resource));
}

BOOL CALLBACK copyName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR update) {
    EnumResourceLanguagesA(module, type, name, copyLanguage, update);
    return TRUE;
}

BOOL CALLBACK copyType(HMODULE module, LPSTR type, LONG_PTR update) {
    EnumResourceNamesA(module, type, copyName, update);
    return TRUE;
}

// Wine's resource updater brings back resources that were only deleted, so
// the copy gets a fresh resource section: every resource of this program
// except the record template.
bool removeRecordTemplate(const std::string& program) {
    HANDLE update = BeginUpdateResourceA(program.c_str(), TRUE);
    if (!update)
        return false;
    EnumResourceTypesA(GetModuleHandleA(nullptr), copyType, reinterpret_cast<LONG_PTR>(update));
    return EndUpdateResourceA(update, FALSE) != 0;
}

// Runs the program in the folder and returns its exit code (~0 when it
// could not be started).
DWORD runToCompletion(const std::string& program, const std::string& arguments, const std::string& folder) {
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process))
        return ~0u;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = ~0u;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

std::string constructionOutcome(HWND parent) {
    try {
        RecordDialog panel(parent);
        return "constructed";
    } catch (const RecordDialog::CreationException&) {
        return "CreationException";
    } catch (...) {
        return "another exception";
    }
}

TEST(MissingTemplate, ConstructorThrowsCreationException) {
    char self[MAX_PATH] = {};
    ASSERT_NE(0u, GetModuleFileNameA(nullptr, self, sizeof self));
    TempDir folder;
    std::string copy = folder.file("without_template.exe");
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
    ASSERT_TRUE(removeRecordTemplate(copy));

    DWORD exitCode = runToCompletion(
        copy, "--gtest_also_run_disabled_tests --gtest_filter=WithoutTemplate.DISABLED_ConstructionFails",
        folder.path().string());
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ("CreationException", readBytes(folder.file(outcomeFile)));
}

// Runs only in the copy made above, in its folder.
TEST(WithoutTemplate, DISABLED_ConstructionFails) {
    ASSERT_EQ(nullptr, FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_RECORD), MAKEINTRESOURCEA(5)));
    HostWindow host;
    writeBytes(outcomeFile, constructionOutcome(host.handle()));
    EXPECT_TRUE(IsWindow(host.handle()));
    EXPECT_EQ(nullptr, GetWindow(host.handle(), GW_CHILD));
}

// Looks for a visible dialog (a message box) of the process.
struct BoxSearch {
    DWORD processId;
    HWND box;
};

BOOL CALLBACK findBox(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<BoxSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner != search->processId || std::string(className) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    search->box = window;
    return FALSE;
}

// The message box that a process shows, once it is up.
HWND messageBoxOf(DWORD processId) {
    BoxSearch search{processId, nullptr};
    EnumWindows(findBox, reinterpret_cast<LPARAM>(&search));
    return search.box;
}

TEST(MissingTemplate, TheProgramSaysSoUntilAnsweredAndEndsWithAnError) {
    std::string program = TABULO_PROGRAM;
    if (program.front() == '/')
        program = "Z:" + program; // where Wine shows the build folder
    TempDir folder;
    std::string copy = folder.file("tabulo.exe");
    ASSERT_TRUE(CopyFileA(program.c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(removeRecordTemplate(copy));

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + copy + "\"";
    ASSERT_TRUE(CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.path().string().c_str(), &startup, &process));
    HWND box = nullptr;
    EXPECT_TRUE(pumpUntil([&] { return (box = messageBoxOf(process.dwProcessId)) != nullptr; }, 30000));
    if (box) {
        EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)), "Error creating the record panel!");
        // Once the box waits for the user, it is still there.
        WaitForInputIdle(process.hProcess, 10000);
        EXPECT_TRUE(IsWindow(box));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 1u);
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 2);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

TEST(MissingParent, ConstructorThrowsCreationException) {
    HostWindow host;
    HWND gone = host.handle();
    host.destroy();
    EXPECT_EQ("CreationException", constructionOutcome(gone));
}

} // namespace
