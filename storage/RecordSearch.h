#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "LeadBytes.h"
#include "RecordList.h"

// Which text of a record.
enum class RecordField { name, value };

// A place in the text of a list of records: a byte of a record's name or
// value. Places run record by record, the name before the value.
struct TextPlace {
    std::size_t record;
    RecordField field;
    std::size_t offset;
    bool operator==(const TextPlace&) const = default;
};

// Finds a text in the names and values of a list of records, going round
// past the end (or the beginning). Each field is searched as an edit shows
// it: up to its first NUL byte. Letters match either case, folded as the
// sort folds them (compareNoCase), unless the case must match. On a
// double-byte code page a match is made of whole characters: it starts
// where a character starts and ends where one ends, and the trail bytes of
// its two-byte characters are never folded.
class RecordSearch {
public:
    enum class Direction { forward, backward };

    // The text up to its first NUL byte is what is looked for, in text of
    // the code page whose lead bytes are given.
    RecordSearch(const std::string& text, bool matchCase, const LeadBytes& leadBytes = LeadBytes());

    // Forward: the first match that starts at `from` or after it, else the
    // first of all. Backward: the last match that starts before `from`, else
    // the last of all. None when the text is nowhere, or empty. `from` may
    // lie past the last record: forward then finds the first match of all,
    // backward the last.
    std::optional<TextPlace> find(const RecordList& records, const TextPlace& from, Direction direction) const;

    // The length of a match.
    std::size_t length() const { return text_.size(); }

private:
    std::optional<TextPlace> firstIn(const RecordList& records, std::size_t first, std::size_t end,
                                     std::size_t offset) const;
    std::optional<TextPlace> lastIn(const RecordList& records, std::size_t first, std::size_t end,
                                    std::size_t limit) const;
    std::size_t firstMatch(const std::string& field, std::size_t from) const;
    std::size_t lastMatchBefore(const std::string& field, std::size_t limit) const;
    std::size_t scan(const char* data, std::size_t size, std::size_t from, std::size_t& known) const;
    bool matchesAt(const char* data) const;
    bool isWholeCharacters(const char* data, std::size_t size, std::size_t start, std::size_t& known) const;
    unsigned char comparable(unsigned char c) const;

    std::string text_;  // folded unless the case must match
    std::string typed_; // as given: trail bytes are compared as they are
    bool matchCase_;
    LeadBytes leadBytes_;
};
