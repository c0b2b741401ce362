#include "MemchrScan.h"

#include <cstring>

std::size_t memchrScan(const RecordList& records) {
    std::size_t found = 0;
    for (const Record& record : records) {
        found += std::memchr(record.name().data(), '\x01', record.name().size()) != nullptr;
        found += std::memchr(record.value().data(), '\x01', record.value().size()) != nullptr;
    }
    return found;
}
