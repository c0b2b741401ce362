#include "RecordList.h"

#include <algorithm>
#include <cstdio>

#include "AtomicFileWriter.h"
#include "RecordFormat.h"

namespace {

// Entries are gathered into blocks of about this size before each write.
constexpr std::size_t writeBlockSize = 1 << 20;

} // namespace

void RecordList::insertAt(int index, const Record& record) {
    records_.insert(records_.begin() + index, record);
}

void RecordList::eraseAt(int index) {
    records_.erase(records_.begin() + index);
}

void RecordList::sortAscending() {
    std::sort(records_.begin(), records_.end(), nameLess);
}

void RecordList::sortDescending() {
    std::sort(records_.begin(), records_.end(), nameGreater);
}

bool RecordList::load(const std::string& path) {
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream)
        return false;
    std::vector<Record> loaded;
    bool complete = readEntries(stream, loaded);
    std::fclose(stream);
    if (!complete)
        return false;
    records_.swap(loaded);
    return true;
}

bool RecordList::save(const std::string& path) const {
    AtomicFileWriter writer(path);
    if (!writer.open())
        return false;
    std::string block;
    block.reserve(writeBlockSize + 4096);
    for (const Record& record : records_) {
        appendEntry(block, record);
        block.append("\r\n");
        if (block.size() >= writeBlockSize) {
            writer.write(block.data(), block.size());
            block.clear();
        }
    }
    writer.write(block.data(), block.size());
    return writer.commit();
}
