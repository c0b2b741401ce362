#include "RecordLists.h"

RecordList listOf(const std::vector<Record>& records) {
    RecordList list;
    for (const Record& record : records)
        list.append(record);
    return list;
}

RecordList listOfNames(const std::vector<std::string>& names) {
    RecordList list;
    for (const std::string& name : names)
        list.append(Record(name, "value of " + name));
    return list;
}

std::vector<Record> recordsOf(const RecordList& list) {
    return std::vector<Record>(list.begin(), list.end());
}

std::vector<std::string> namesOf(const RecordList& list) {
    std::vector<std::string> names;
    for (const Record& record : list)
        names.push_back(record.name());
    return names;
}

std::string escapedName(const std::string& name) {
    std::string entry;
    appendEntry(entry, Record(name, ""));
    return entry.substr(1, entry.size() - 3); // without "{" and "=}"
}
