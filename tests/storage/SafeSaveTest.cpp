#include <filesystem>

#include <gtest/gtest.h>

#include "AtomicFileWriter.h"
#include "RecordList.h"
#include "storage/StreamFault.h"
#include "support/TempDir.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
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
