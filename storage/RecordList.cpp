#include "RecordList.h"

#include <algorithm>
#include <bit>
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
// list is built. Ticks as the records move: one cycle may hold most of them.
void applyOrder(std::vector<Record>& records, std::vector<SortKey>& keys, const std::function<void()>& tick) {
    std::size_t moved = 0;
    for (std::size_t start = 0; start < keys.size(); ++start) {
        if (keys[start].index == start)
            continue;
        Record held = std::move(records[start]);
        std::size_t to = start;
        for (;;) {
            if (++moved % progressStride == 0)
                tick();
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
// for them nothing has moved yet. The progress counts comparisons against
// what a sort of that many keys needs about.
bool sortByName(std::vector<Record>& records, bool descending, const Progress& progress) {
    std::vector<SortKey> keys;
    try {
        keys.resize(records.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::uint64_t expected = static_cast<std::uint64_t>(records.size()) * std::bit_width(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i % progressStride == 0)
            reportProgress(progress, 0, expected);
        keys[i] = keyOf(records[i], i);
    }
    std::uint64_t compared = 0;
    std::sort(keys.begin(), keys.end(), [&](const SortKey& a, const SortKey& b) {
        if (++compared % progressStride == 0)
            reportProgress(progress, std::min(compared, expected), expected);
        if (a.first != b.first)
            return (a.first < b.first) != descending;
        if (a.second != b.second)
            return (a.second < b.second) != descending;
        int order = compareNoCase(a.rest, b.rest);
        if (order != 0)
            return (order < 0) != descending;
        return a.index < b.index;
    });
    applyOrder(records, keys, [&] { reportProgress(progress, std::min(compared, expected), expected); });
    reportProgress(progress, expected, expected);
    return true;
}

// Destroys the records from the back, a stride at a time: freeing the text
// of a large database takes long enough to be waited for.
void releaseAll(std::vector<Record>& records, const std::function<void(std::uint64_t released)>& tick) {
    std::uint64_t total = records.size();
    while (!records.empty()) {
        records.pop_back();
        if (records.size() % progressStride == 0)
            tick(total - records.size());
    }
}

// Closes a C stream when it goes away.
struct StreamCloser {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using Stream = std::unique_ptr<std::FILE, StreamCloser>;

// Entries are written straight into the block, which always has room for
// the next one in full (a record larger than a block gets a larger block to
// itself).
bool writeAll(const std::vector<Record>& records, const std::string& path, const Progress& progress) {
    AtomicFileWriter writer(path);
    if (!writer.open())
        return false;
    std::vector<char> block(writeBlockSize);
    std::size_t used = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i % progressStride == 0)
            reportProgress(progress, i, records.size());
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
    reportProgress(progress, records.size(), records.size());
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

void RecordList::clear(const Progress& progress) {
    std::uint64_t total = size();
    releaseAll(records_, [&](std::uint64_t released) { reportProgress(progress, released, total); });
    reportProgress(progress, 1, 1);
}

bool RecordList::sortAscending(const Progress& progress) {
    return sortByName(records_, false, progress);
}

bool RecordList::sortDescending(const Progress& progress) {
    return sortByName(records_, true, progress);
}

// Running out of memory fails a load like a file that cannot be read: the
// records read so far go, the list stays as it was. The records it replaces
// go last, while the progress stays at the end.
bool RecordList::load(const std::string& path, LoadReport* report, const Progress& progress) {
    Stream stream(std::fopen(path.c_str(), "rb"));
    if (!stream)
        return false;
    try {
        std::vector<Record> loaded;
        if (!readEntries(stream.get(), loaded, report, progress))
            return false;
        records_.swap(loaded);
        stream.reset();
        releaseAll(loaded, [&](std::uint64_t) { reportProgress(progress, 1, 1); });
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// An uncommitted writer removes its temporary file as it goes, so running out
// of memory leaves the previous file as it was.
bool RecordList::save(const std::string& path, const Progress& progress) const {
    try {
        return writeAll(records_, path, progress);
    } catch (const std::bad_alloc&) {
        return false;
    }
}
