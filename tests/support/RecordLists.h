#pragma once

#include <string>
#include <vector>

#include "RecordList.h"

// Record lists for tests, made from and turned into plain vectors.
RecordList listOf(const std::vector<Record>& records);
// A record for each name, valued "value of " and the name.
RecordList listOfNames(const std::vector<std::string>& names);
std::vector<Record> recordsOf(const RecordList& list);
std::vector<std::string> namesOf(const RecordList& list);
// A name as an entry holds it: escaped, "=" included.
std::string escapedName(const std::string& name);
