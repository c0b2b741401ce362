#pragma once

#include <cstddef>

#include "RecordList.h"

// The floor of a search that finds nothing: memchr through every name and
// value for a byte that none holds. Returns how many fields hold it (none),
// so that the scan cannot be left out.
std::size_t memchrScan(const RecordList& records);
