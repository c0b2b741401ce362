#pragma once

#include <cstddef>
#include <cstdint>

#include "RecordList.h"

// Makes databases that look like a person's notes: names of 5 to 60 bytes,
// values of 0 to 2,000 bytes in CR LF lines (most short, a few long), with
// the odd brace, backslash and "=". The benchmarks print the size of the
// file they make. The same seed always gives the same records.
RecordList generateDatabase(std::size_t count, std::uint64_t seed = 1);

// Words of the generated databases in an order they never hold, for a search
// that finds nothing.
constexpr const char* textFoundNowhere = "travel plan Paris";
