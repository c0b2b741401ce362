#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "Record.h"

// The database text format: each record is written as
//   "{" escaped-name "=" escaped-value "}" CR LF
// where "{" becomes "\o", "}" becomes "\c" and a backslash "\\". In names an
// "=" is written as "\=" so that it cannot end the name when read back.

// Replaces s by its escaped form and returns it.
std::string& escapeField(std::string& s);
// escapeField, and "=" written as "\=".
std::string& escapeName(std::string& s);
// Replaces s by its unescaped form and returns it: "\\" "\c" "\o" become
// "\" "}" "{", a backslash before any other byte is dropped, and a backslash
// at the very end is kept.
std::string& unescapeField(std::string& s);

// Appends one entry, without its line end, to out.
void appendEntry(std::string& out, const Record& record);
// Writes one entry, without its line end, to the stream. Errors show in
// ferror(stream).
void writeRecord(const Record& record, std::FILE* stream);

enum class EntryRead { complete, endOfInput };
// Clears the record, then reads the next entry from the stream into it. An
// entry counts only if its closing "}" was found (complete).
EntryRead readRecord(Record& record, std::FILE* stream);

// The C runtime's _stricmp in the "C" locale: folds "A" to "Z" to lower case,
// compares unsigned bytes and stops at the first NUL.
int compareNoCase(const std::string& a, const std::string& b);
bool nameLess(const Record& a, const Record& b);
bool nameGreater(const Record& a, const Record& b);

// Reads every complete entry of the stream, in order, appending to out.
// Returns false when the stream reports a read error.
bool readEntries(std::FILE* stream, std::vector<Record>& out);
