// Fuzz target for the database reader: any bytes must load without a crash
// or leak, both readers must agree, and whatever loads must save and load
// back to the same records.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "RecordFormat.h"

namespace {

std::vector<Record> readBlockwise(const char* data, std::size_t size) {
    std::vector<Record> records;
    std::FILE* stream = fmemopen(const_cast<char*>(data), size, "rb");
    if (!stream)
        std::abort();
    if (!readEntries(stream, records))
        std::abort();
    std::fclose(stream);
    return records;
}

std::vector<Record> readBytewise(const char* data, std::size_t size) {
    std::vector<Record> records;
    std::FILE* stream = fmemopen(const_cast<char*>(data), size, "rb");
    if (!stream)
        std::abort();
    Record record;
    while (readRecord(record, stream) == EntryRead::complete)
        records.push_back(record);
    std::fclose(stream);
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0)
        return 0; // fmemopen refuses an empty buffer
    const char* bytes = reinterpret_cast<const char*>(data);
    std::vector<Record> records = readBlockwise(bytes, size);
    if (readBytewise(bytes, size) != records)
        std::abort();

    std::string saved;
    for (const Record& record : records) {
        appendEntry(saved, record);
        saved += "\r\n";
    }
    if (saved.empty())
        return 0;
    if (readBlockwise(saved.data(), saved.size()) != records)
        std::abort();
    return 0;
}
