#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Progress.h"
#include "Record.h"

// The database text format: each record is written as
//   "{" escaped-name "=" escaped-value "}" CR LF
// where "{" becomes "\o", "}" becomes "\c" and a backslash "\\". In names an
// "=" is written as "\=" so that it cannot end the name when read back.

// Replaces s by its escaped form and returns it. Names are written with "="
// escaped too (writeEntry).
std::string& escapeField(std::string& s);
// Replaces s by its unescaped form and returns it: "\\" "\c" "\o" become
// "\" "}" "{", a backslash before any other byte is dropped, and a backslash
// at the very end is kept.
std::string& unescapeField(std::string& s);

// The most bytes that writeEntry can write for the record.
std::size_t entrySizeLimit(const Record& record);
// Writes one entry, without its line end, to out, which has room for
// entrySizeLimit(record) bytes; returns the end of what it wrote.
char* writeEntry(char* out, const Record& record);
// Appends one entry, without its line end, to out.
void appendEntry(std::string& out, const Record& record);
// Writes one entry, without its line end, to the stream. Errors show in
// ferror(stream).
void writeRecord(const Record& record, std::FILE* stream);

enum class EntryRead { complete, endOfInput };
// Clears the record, then reads the next entry from the stream into it. An
// entry counts only if its closing "}" was found (complete).
EntryRead readRecord(Record& record, std::FILE* stream);

// A byte as compareNoCase sees it: "A" to "Z" become lower case, every other
// byte stays as it is.
inline unsigned char foldCase(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}
// The C runtime's _stricmp in the "C" locale: folds "A" to "Z" to lower case,
// compares unsigned bytes and stops at the first NUL.
int compareNoCase(const std::string& a, const std::string& b);
// The same for two NUL-terminated strings.
int compareNoCase(const char* a, const char* b);
// The next eight bytes from p as compareNoCase sees them (folded, nothing
// from the NUL on), as one number; p moves past them but never past the NUL.
// Taken in turn from the starts of two strings, the first pair of numbers
// that differ orders the strings as compareNoCase does; while they are
// equal, compareNoCase of the rest from the two moved pointers decides.
std::uint64_t foldedBlock(const char*& p);
bool nameLess(const Record& a, const Record& b);
bool nameGreater(const Record& a, const Record& b);

// What a read found that a save would not give back as it was: bytes it
// left out of the records, or an entry it took in but a save writes
// differently.
struct LoadReport {
    bool textOutsideEntries = false; // bytes between entries other than CR, LF, space and tab
    bool cutOffEntry = false;        // an entry that the end of the input cut off
    bool rewrittenEntry = false;     // an entry not in the form a save writes (e.g. a raw brace)
    bool saveWouldChange() const { return textOutsideEntries || cutOffEntry || rewrittenEntry; }
};

// Reads every complete entry of the stream, in order, appending to out, and
// notes in report (when given) what a save would not give back. Returns false when the
// stream reports a read error. The progress is in bytes of the file.
bool readEntries(std::FILE* stream, std::vector<Record>& out, LoadReport* report = nullptr,
                 const Progress& progress = {});
