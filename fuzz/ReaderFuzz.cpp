// Fuzz target for the database reader: any bytes must load without a crash
// or leak, both readers must agree, and whatever loads must save and load
// back to the same records. The reader warns unless a save gives back the
// entries as they were (only the blanks between them may differ), and never
// for what a save wrote.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "RecordFormat.h"

namespace {

std::vector<Record> readBlockwise(const char* data, std::size_t size, LoadReport* report = nullptr) {
    std::vector<Record> records;
    std::FILE* stream = fmemopen(const_cast<char*>(data), size, "rb");
    if (!stream)
        std::abort();
    if (!readEntries(stream, records, report))
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

std::string withoutBlanks(const std::string& bytes) {
    std::string kept;
    for (char c : bytes)
        if (c != '\r' && c != '\n' && c != ' ' && c != '\t')
            kept += c;
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0)
        return 0; // fmemopen refuses an empty buffer
    const char* bytes = reinterpret_cast<const char*>(data);
    LoadReport report;
    std::vector<Record> records = readBlockwise(bytes, size, &report);
    if (readBytewise(bytes, size) != records)
        std::abort();

    std::string saved;
    for (const Record& record : records) {
        appendEntry(saved, record);
        saved += "\r\n";
    }
    if (!report.saveWouldChange() && withoutBlanks(std::string(bytes, size)) != withoutBlanks(saved))
        std::abort();
    if (saved.empty())
        return 0;
    LoadReport savedReport;
    if (readBlockwise(saved.data(), saved.size(), &savedReport) != records || savedReport.saveWouldChange())
        std::abort();
    return 0;
}
