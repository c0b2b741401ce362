#include <atomic>
#include <algorithm>
#include <filesystem>
#include <regex>
#include <thread>

#include <gtest/gtest.h>

#include "AtomicFileWriter.h"
#include "RecordList.h"
#include "StreamSeam.h"
#include "storage/StreamFault.h"
#include "support/TempDir.h"

#ifdef _WIN32
#include <windows.h>

#include <sddl.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

RecordList bigList(std::size_t count) {
    RecordList list;
    for (std::size_t i = 0; i < count; ++i)
        list.append(Record("record " + std::to_string(i), std::string(200, 'v') + "\r\n" + std::to_string(i)));
    return list;
}

std::size_t filesIn(const TempDir& dir) {
    std::size_t count = 0;
    for (auto it = std::filesystem::directory_iterator(dir.path()); it != std::filesystem::directory_iterator(); ++it)
        ++count;
    return count;
}

TEST(SafeSave, SucceedsWithoutLeavingATemporaryFile) {
    TempDir dir;
    std::string path = dir.file("db.txt");
    ASSERT_TRUE(bigList(3).save(path));
    ASSERT_TRUE(bigList(2).save(path));
    EXPECT_EQ(filesIn(dir), 1u);
}

std::vector<std::string> namesIn(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// What a user who looks into the folder while a save writes would find.
const TempDir* watchedFolder = nullptr;
std::vector<std::string> namesWhileSaving;

TEST(SafeSave, TheTemporaryFileIsNamedAfterTheDatabaseAndLeftoversGoWithTheNextSave) {
    TempDir dir;
    std::string path = dir.file("db.txt");
    watchedFolder = &dir;
    streamSeam.beforeWrite = [](std::FILE*, std::uint64_t) { namesWhileSaving = namesIn(*watchedFolder); };
    bool saved = bigList(3).save(path);
    streamSeam.beforeWrite = nullptr;
    ASSERT_TRUE(saved);
    ASSERT_EQ(namesWhileSaving.size(), 1u);
    EXPECT_TRUE(std::regex_match(namesWhileSaving[0], std::regex(R"(db\.txt\.~tabulo-[0-9a-f]{4}\.tmp)")))
        << namesWhileSaving[0];

    // Left by saves of this database that died, and files that only look so.
    std::vector<std::string> leftovers = {"db.txt.~tabulo-0000.tmp", "db.txt.~tabulo-f00d.tmp"};
    std::vector<std::string> others = {"db.txt.~tabulo-f00d.tmp.txt", "db.txt.~tabulo-f00g.tmp", "db.txt.~tabulo-f0d.tmp",
                                       "other.txt.~tabulo-f00d.tmp", "xdb.txt.~tabulo-f00d.tmp"};
    for (const std::string& name : leftovers)
        writeBytes(dir.file(name), "{new=}\r\n");
    for (const std::string& name : others)
        writeBytes(dir.file(name), name);
    ASSERT_TRUE(bigList(2).save(path));
    others.push_back("db.txt");
    std::sort(others.begin(), others.end());
    EXPECT_EQ(namesIn(dir), others);
}

TEST(SafeSave, FailsWhenTheFileCannotBeCreated) {
    TempDir dir;
    EXPECT_FALSE(bigList(3).save(dir.file("no-such-folder/db.txt")));
    EXPECT_EQ(filesIn(dir), 0u);
}

TEST(SafeSave, FailsWhenTheTargetCannotBeReplaced) {
    // A folder stands where the file should go: everything is written, but
    // the last step cannot put it in place.
    TempDir dir;
    std::string path = dir.file("taken");
    std::filesystem::create_directory(path);
    std::filesystem::create_directory(path + "/inside");
    EXPECT_FALSE(bigList(3).save(path));
    EXPECT_TRUE(std::filesystem::is_directory(path + "/inside"));
    EXPECT_EQ(filesIn(dir), 1u);
}

// The longest path a database can have: on Windows MAX_PATH - 1
// characters, natively a name of 255 bytes, the most a file system takes.
std::string longestPathIn(const TempDir& dir) {
#ifdef _WIN32
    std::size_t nameLength = MAX_PATH - 1 - dir.file("").size();
#else
    std::size_t nameLength = 255;
#endif
    return dir.file(std::string(nameLength - 4, 'n') + ".txt");
}

TEST(SafeSave, SavesToTheLongestPathAFileCanHave) {
    TempDir dir;
    std::string path = longestPathIn(dir);
    ASSERT_TRUE(bigList(3).save(path));
    ASSERT_TRUE(bigList(2).save(path));
    RecordList back;
    ASSERT_TRUE(back.load(path));
    EXPECT_EQ(back.size(), 2u);
    EXPECT_EQ(filesIn(dir), 1u);
}

TEST(SafeSave, ReplacesAFileNamedRelativeToTheWorkingFolder) {
    TempDir dir;
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    bool created = bigList(3).save("db.txt");
    bool replaced = bigList(2).save("db.txt");
    std::filesystem::current_path(previous);
    EXPECT_TRUE(created);
    EXPECT_TRUE(replaced);
    RecordList back;
    ASSERT_TRUE(back.load(dir.file("db.txt")));
    EXPECT_EQ(back.size(), 2u);
    EXPECT_EQ(filesIn(dir), 1u);
}

TEST(SafeSave, NeverTouchesAnotherFileInTheFolder) {
    // Every other name as short as the target's is taken, and so is the
    // name of its old temporary file.
    TempDir dir;
    std::string path = dir.file("d");
    writeBytes(path, "{old=}\r\n");
    std::vector<std::string> neighbours = {"d.saving~"};
    for (char c : std::string("0123456789abcefghijklmnopqrstuvwxyz"))
        neighbours.push_back(std::string(1, c));
    for (const std::string& name : neighbours)
        writeBytes(dir.file(name), name);
    ASSERT_TRUE(bigList(2).save(path));
    for (const std::string& name : neighbours)
        EXPECT_EQ(readBytes(dir.file(name)), name);
    EXPECT_EQ(filesIn(dir), neighbours.size() + 1);
}

#ifdef _WIN32
std::string accessRulesOf(const std::string& path) {
    char descriptor[4096];
    DWORD size = 0;
    char* text = nullptr;
    if (!GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, descriptor, sizeof descriptor, &size) ||
        !ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1,
                                                              DACL_SECURITY_INFORMATION, &text, nullptr))
        return "";
    std::string rules = text;
    LocalFree(text);
    return rules;
}

ULONGLONG creationTimeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return (ULONGLONG(data.ftCreationTime.dwHighDateTime) << 32) | data.ftCreationTime.dwLowDateTime;
}

// Sets a creation time in 2015; false where the file system does not keep
// the time it is given (Wine's).
bool setOldCreationTime(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME old = {0x12345678, 0x01d00000};
    SetFileTime(file, &old, nullptr, nullptr);
    CloseHandle(file);
    return creationTimeOf(path) == 0x01d0000012345678ull;
}

TEST(SafeSave, KeepsWhatTheFileIsAndRefusesAReadOnlyOne) {
    TempDir dir;
    std::string path = dir.file("db.txt");
    writeBytes(path, "{old=}\r\n");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    PSECURITY_DESCRIPTOR everyoneMayWrite;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;FA;;;WD)", SDDL_REVISION_1,
                                                                     &everyoneMayWrite, nullptr));
    ASSERT_TRUE(SetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, everyoneMayWrite));
    LocalFree(everyoneMayWrite);
    std::string rules = accessRulesOf(path);
    bool keepsCreationTimes = setOldCreationTime(path);
    ULONGLONG created = creationTimeOf(path);
    ASSERT_TRUE(bigList(2).save(path));
    DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & kept, DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(accessRulesOf(path), rules);
    if (keepsCreationTimes) {
        EXPECT_EQ(creationTimeOf(path), created);
    }
    std::string saved = readBytes(path);

    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(bigList(3).save(path));
    EXPECT_EQ(readBytes(path), saved);
    EXPECT_EQ(filesIn(dir), 1u);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL); // so that the folder can be removed
}

TEST(SafeSave, FailsWhileAnotherProgramHoldsTheFileOpen) {
    TempDir dir;
    std::string path = dir.file("db.txt");
    writeBytes(path, "{old=}\r\n");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(bigList(3).save(path));
    CloseHandle(held);
    EXPECT_EQ(readBytes(path), "{old=}\r\n");
    EXPECT_EQ(filesIn(dir), 1u);
}
#else
TEST(SafeSave, KeepsThePermissionsOfTheFile) {
    TempDir dir;
    std::string path = dir.file("db.txt");
    writeBytes(path, "{old=}\r\n");
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    ASSERT_TRUE(bigList(2).save(path));
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}
#endif

TEST(SafeSave, TheFileIsNeverMissingWhileItIsReplaced) {
    // A program that dies at any instant of a save leaves the old file or
    // the new one: the name must hold one of them throughout.
    TempDir dir;
    std::string path = dir.file("db.txt");
    RecordList list = bigList(5000);
    ASSERT_TRUE(list.save(path));
    std::atomic<bool> saving{true};
    std::atomic<int> missing{0};
    std::thread watcher([&] {
        while (saving)
            if (!fileExists(path))
                ++missing;
    });
    for (int i = 0; i < 20; ++i)
        EXPECT_TRUE(list.save(path));
    saving = false;
    watcher.join();
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(filesIn(dir), 1u);
}

TEST(SafeSave, WriterThatIsNeverCommittedLeavesTheTargetAlone) {
    TempDir dir;
    std::string path = dir.file("db.txt");
    writeBytes(path, "{old=data}\r\n");
    {
        AtomicFileWriter writer(path);
        ASSERT_TRUE(writer.open());
        writer.write("partial", 7);
    }
    EXPECT_EQ(readBytes(path), "{old=data}\r\n");
    EXPECT_EQ(filesIn(dir), 1u);
}

#ifndef _WIN32
// Runs a save in a child process whose files may not grow past a limit, so
// the disk "fills up" in the middle of writing. Returns the save's result.
bool saveWithFileSizeLimit(const RecordList& list, const std::string& path, rlim_t limit) {
    pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{limit, limit};
        setrlimit(RLIMIT_FSIZE, &rl);
        _exit(list.save(path) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif

TEST(SafeSave, AWriteFailureMidwayKeepsThePreviousFile) {
    TempDir dir;
    std::string path = dir.file("db.txt");
    std::string previous = "{previous=contents}\r\n";
    writeBytes(path, previous);
    RecordList list = bigList(20000); // about 4.5 MB, several write blocks
    // The first block is written, then the disk fails; natively a file size
    // limit makes it fill up for real as well.
    {
        StreamFault fault(StreamFault::writing, 1);
        EXPECT_FALSE(list.save(path));
        EXPECT_TRUE(fault.happened());
    }
    EXPECT_EQ(readBytes(path), previous);
    EXPECT_EQ(filesIn(dir), 1u);
#ifndef _WIN32
    EXPECT_FALSE(saveWithFileSizeLimit(list, path, 3 << 20));
    EXPECT_EQ(readBytes(path), previous);
    EXPECT_EQ(filesIn(dir), 1u);
    EXPECT_TRUE(saveWithFileSizeLimit(list, path, 64 << 20));
#else
    EXPECT_TRUE(list.save(path));
#endif
    RecordList back;
    ASSERT_TRUE(back.load(path));
    EXPECT_EQ(back.size(), list.size());
}

} // namespace
