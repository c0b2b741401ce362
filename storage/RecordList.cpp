#include "RecordList.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>

#include "AtomicFileWriter.h"
#include "RecordFormat.h"

namespace {

// Entries are gathered into blocks of this size before each write.
constexpr std::size_t writeBlockSize = 1 << 20;

// How many records ahead save asks for the text it will need.
constexpr std::size_t prefetchDistance = 4;

// Sorting orders these small keys rather than the records themselves: most
// comparisons look at two numbers held side by side, and the rest go on
// from the name's third block without going through the record.
struct SortKey {
    std::uint64_t first;  // foldedBlock of the name's start
    std::uint64_t second; // and of the block after it
    const char* rest;     // the name after those blocks
    std::size_t index;    // the record's position before the sort
};

SortKey keyOf(const Record& record, std::size_t index) {
    const char* name = record.name().c_str();
    SortKey key;
    key.first = foldedBlock(name);
    key.second = foldedBlock(name);
    key.rest = name;
    key.index = index;
    return key;
}

// Puts record keys[i].index at position i. Each cycle of the permutation is
// followed from one held record, so every record moves once and no second
// list is built.
void applyOrder(std::vector<Record>& records, std::vector<SortKey>& keys) {
    for (std::size_t start = 0; start < keys.size(); ++start) {
        if (keys[start].index == start)
            continue;
        Record held = std::move(records[start]);
        std::size_t to = start;
        for (;;) {
            std::size_t from = keys[to].index;
            keys[to].index = to;
            if (from == start) {
                records[to] = std::move(held);
                break;
            }
            records[to] = std::move(records[from]);
            to = from;
        }
    }
}

// By name as compareNoCase orders them; records with equal names keep their
// order. The keys are the only memory the sort takes, so when there is none
// for them nothing has moved yet.
bool sortByName(std::vector<Record>& records, bool descending) {
    std::vector<SortKey> keys;
    try {
        keys.resize(records.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::size_t i = 0; i < records.size(); ++i)
        keys[i] = keyOf(records[i], i);
    std::sort(keys.begin(), keys.end(), [descending](const SortKey& a, const SortKey& b) {
        if (a.first != b.first)
            return (a.first < b.first) != descending;
        if (a.second != b.second)
            return (a.second < b.second) != descending;
        int order = compareNoCase(a.rest, b.rest);
        if (order != 0)
            return (order < 0) != descending;
        return a.index < b.index;
    });
    applyOrder(records, keys);
    return true;
}

// Closes a C stream when it goes away.
struct StreamCloser {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using Stream = std::unique_ptr<std::FILE, StreamCloser>;

// Entries are written straight into the block, which always has room for
// the next one in full (a record larger than a block gets a larger block to
// itself).
bool writeAll(const std::vector<Record>& records, const std::string& path) {
    AtomicFileWriter writer(path);
    if (!writer.open())
        return false;
    std::vector<char> block(writeBlockSize);
    std::size_t used = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i + prefetchDistance < records.size())
            prefetchText(records[i + prefetchDistance]);
        const Record& record = records[i];
        std::size_t limit = entrySizeLimit(record) + 2;
        if (block.size() - used < limit) {
            writer.write(block.data(), used);
            used = 0;
            if (block.size() < limit)
                block.resize(limit);
        }
        char* end = writeEntry(block.data() + used, record);
        *end++ = '\r';
        *end++ = '\n';
        used = end - block.data();
    }
    writer.write(block.data(), used);
    return writer.commit();
}

} // namespace

void RecordList::insertAt(int index, const Record& record) {
    records_.insert(records_.begin() + index, record);
}

void RecordList::eraseAt(int index) {
    records_.erase(records_.begin() + index);
}

void RecordList::move(int from, int to) {
    auto source = records_.begin() + from;
    auto target = records_.begin() + to;
    if (from < to)
        std::rotate(source, source + 1, target + 1);
    else
        std::rotate(target, source, source + 1);
}

bool RecordList::sortAscending() {
    return sortByName(records_, false);
}

bool RecordList::sortDescending() {
    return sortByName(records_, true);
}

// Running out of memory fails a load like a file that cannot be read: the
// records read so far go, the list stays as it was.
bool RecordList::load(const std::string& path, LoadReport* report) {
    Stream stream(std::fopen(path.c_str(), "rb"));
    if (!stream)
        return false;
    try {
        std::vector<Record> loaded;
        if (!readEntries(stream.get(), loaded, report))
            return false;
        records_.swap(loaded);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// An uncommitted writer removes its temporary file as it goes, so running out
// of memory leaves the previous file as it was.
bool RecordList::save(const std::string& path) const {
    try {
        return writeAll(records_, path);
    } catch (const std::bad_alloc&) {
        return false;
    }
}
