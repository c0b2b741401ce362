#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RecordList.h"
#include "support/RecordLists.h"
#include "support/TempDir.h"

// Every allocation of this test program comes here, so that a test can make
// memory run out: from a chosen allocation on, each one fails.
namespace {
long allocationsLeft = -1; // -1: memory never runs out
}

void* operator new(std::size_t size) {
    if (allocationsLeft == 0)
        throw std::bad_alloc();
    if (allocationsLeft > 0)
        --allocationsLeft;
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

// Not inlined: the compiler would take the free() for a mismatch with the
// standard operator new.
[[gnu::noinline]] void operator delete(void* memory) noexcept {
    std::free(memory);
}

[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

// Memory runs out after `allowed` more allocations while the object lives.
class MemoryLimit {
public:
    explicit MemoryLimit(long allowed) { allocationsLeft = allowed; }
    ~MemoryLimit() { allocationsLeft = -1; }
    MemoryLimit(const MemoryLimit&) = delete;
    MemoryLimit& operator=(const MemoryLimit&) = delete;
};

// Runs the operation with memory running out after 0, 1, 2... allocations
// until it gets through, calling check(succeeded) after each run. Returns
// how many runs failed.
template <class Operation, class Check>
long untilItGetsThrough(Operation operation, Check check) {
    for (long allowed = 0; allowed < 100000; ++allowed) {
        bool succeeded;
        {
            MemoryLimit limit(allowed);
            succeeded = operation();
        }
        check(succeeded);
        if (succeeded)
            return allowed;
    }
    ADD_FAILURE() << "never got through";
    return 0;
}

// The lowest free descriptor, which the next opened file gets: it moves up
// while a file is left open.
int nextDescriptor(const std::string& path) {
    std::FILE* stream = std::fopen(path.c_str(), "rb");
#ifdef _WIN32
    int descriptor = _fileno(stream);
#else
    int descriptor = fileno(stream);
#endif
    std::fclose(stream);
    return descriptor;
}

// Short records (no memory of their own) with a long one now and then, and
// enough of them that the loader reserves room for the rest of the file.
RecordList sampleList() {
    RecordList list;
    for (int i = 0; i < 2000; ++i)
        list.append(Record("r" + std::to_string(i), i % 100 == 0 ? std::string(300, 'v') : "v"));
    return list;
}

TEST(OutOfMemory, ALoadFailsLikeAFileThatCannotBeOpened) {
    TempDir dir;
    std::string path = dir.file("db.txt");
    ASSERT_TRUE(sampleList().save(path));
    RecordList list;
    list.append(Record("keep", "me"));
    int descriptor = nextDescriptor(path);
    long failures = untilItGetsThrough([&] { return list.load(path); },
                                       [&](bool loaded) {
                                           if (!loaded) {
                                               EXPECT_EQ(namesOf(list), std::vector<std::string>{"keep"});
                                           }
                                           EXPECT_EQ(nextDescriptor(path), descriptor) << "the file was left open";
                                       });
    EXPECT_GT(failures, 10);
    EXPECT_EQ(namesOf(list), namesOf(sampleList()));
}

TEST(OutOfMemory, ASaveFailsAndKeepsThePreviousFile) {
    TempDir dir;
    std::string path = dir.file("db.txt");
    writeBytes(path, "{previous=}\r\n");
    RecordList list = sampleList();
    long failures = untilItGetsThrough([&] { return list.save(path); },
                                       [&](bool saved) {
                                           if (!saved) {
                                               EXPECT_EQ(readBytes(path), "{previous=}\r\n");
                                           }
                                           auto files = std::filesystem::directory_iterator(dir.path());
                                           EXPECT_EQ(std::distance(files, {}), 1) << "a temporary file was left";
                                       });
    EXPECT_GT(failures, 0);
    RecordList back;
    ASSERT_TRUE(back.load(path));
    EXPECT_EQ(namesOf(back), namesOf(list));
}

TEST(OutOfMemory, ASortWithoutMemoryLeavesTheOrder) {
    RecordList list;
    for (const char* name : {"b", "c", "a"})
        list.append(Record(name, ""));
    bool sorted[2];
    {
        MemoryLimit limit(0);
        sorted[0] = list.sortAscending();
        sorted[1] = list.sortDescending();
    }
    EXPECT_FALSE(sorted[0]);
    EXPECT_FALSE(sorted[1]);
    EXPECT_EQ(namesOf(list), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_TRUE(list.sortAscending());
    EXPECT_EQ(namesOf(list), (std::vector<std::string>{"a", "b", "c"}));
}

} // namespace
