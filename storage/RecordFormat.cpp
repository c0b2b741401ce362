#include "RecordFormat.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "StreamSeam.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// For each byte, the letter that follows the backslash of its escape, or 0
// when the byte is written as it is. "=" is escaped in names only.
struct EscapeTable {
    char letter[256];

    constexpr explicit EscapeTable(bool escapeEquals) : letter{} {
        letter[static_cast<unsigned char>('{')] = 'o';
        letter[static_cast<unsigned char>('}')] = 'c';
        letter[static_cast<unsigned char>('\\')] = '\\';
        if (escapeEquals)
            letter[static_cast<unsigned char>('=')] = '=';
    }
};

constexpr EscapeTable valueEscapes(false);
constexpr EscapeTable nameEscapes(true);

char* copyEscapedBytes(char* out, const char* p, const char* end, const EscapeTable& table) {
    for (; p != end; ++p) {
        char letter = table.letter[static_cast<unsigned char>(*p)];
        if (letter) {
            *out++ = '\\';
            *out++ = letter;
        } else {
            *out++ = *p;
        }
    }
    return out;
}

// Copies s to out in its escaped form; out has room for twice its size.
// Sixteen bytes at a time where none needs an escape (nearly all text),
// byte by byte within the steps that hold one.
char* copyEscaped(char* out, const std::string& s, bool escapeEquals) {
    const EscapeTable& table = escapeEquals ? nameEscapes : valueEscapes;
    const char* p = s.data();
    const char* end = p + s.size();
#if defined(__SSE2__)
    const __m128i open = _mm_set1_epi8('{');
    const __m128i close = _mm_set1_epi8('}');
    const __m128i backslash = _mm_set1_epi8('\\');
    const __m128i equals = _mm_set1_epi8(escapeEquals ? '=' : '{');
    for (; end - p >= 16; p += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i special = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, open), _mm_cmpeq_epi8(bytes, close)),
                                       _mm_or_si128(_mm_cmpeq_epi8(bytes, backslash), _mm_cmpeq_epi8(bytes, equals)));
        if (_mm_movemask_epi8(special) == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
            out += 16;
        } else {
            out = copyEscapedBytes(out, p, p + 16, table);
        }
    }
#endif
    return copyEscapedBytes(out, p, end, table);
}

// The first a, b or c from p on; end when there is none. Sixty-four bytes
// at a time while none is there (nearly all text), then sixteen at a time.
const char* findAnyOf(const char* p, const char* end, char a, char b, char c) {
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(a);
    const __m128i second = _mm_set1_epi8(b);
    const __m128i third = _mm_set1_epi8(c);
    auto hits = [&](const char* q) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, first), _mm_cmpeq_epi8(bytes, second)),
                            _mm_cmpeq_epi8(bytes, third));
    };
    for (; end - p >= 64; p += 64) {
        __m128i any = _mm_or_si128(_mm_or_si128(hits(p), hits(p + 16)), _mm_or_si128(hits(p + 32), hits(p + 48)));
        if (_mm_movemask_epi8(any) != 0)
            break;
    }
    for (; end - p >= 16; p += 16)
        if (int found = _mm_movemask_epi8(hits(p)))
            return p + __builtin_ctz(static_cast<unsigned>(found));
#endif
    return std::find_if(p, end, [a, b, c](char byte) { return byte == a || byte == b || byte == c; });
}

bool isWritersEscape(char letter, bool name) {
    return letter == '\\' || letter == 'o' || letter == 'c' || (name && letter == '=');
}

// Where unescaping has something to do next: a backslash, and while the
// field is checked a raw brace ("}" counts in names only).
const char* nextToUnescape(const char* p, const char* end, bool name, bool checking) {
    if (!checking)
        return findAnyOf(p, end, '\\', '\\', '\\');
    return findAnyOf(p, end, '\\', '{', name ? '}' : '{');
}

// Unescapes s in place, in runs between the places where there is
// something to do. With written given and true, notes there whether the
// bytes are exactly what the writer makes of the result: no raw brace and a
// backslash only in the writer's escapes.
std::string& unescapeIn(std::string& s, bool name, bool* written) {
    const char* p = s.data();
    const char* end = p + s.size();
    p = nextToUnescape(p, end, name, written && *written);
    // The plain form is never longer, so it is built over the escaped one.
    char* out = s.data() + (p - s.data());
    while (p != end) {
        char c = *p++;
        if (c != '\\' || p == end) { // a raw brace, or a backslash ending the field
            if (written)
                *written = false;
            *out++ = c;
        } else {
            char next = *p++;
            if (written && !isWritersEscape(next, name))
                *written = false;
            *out++ = next == 'o' ? '{' : next == 'c' ? '}' : next; // "\\" and any other byte
        }
        const char* stop = nextToUnescape(p, end, name, written && *written);
        std::memmove(out, p, stop - p);
        out += stop - p;
        p = stop;
    }
    s.resize(out - s.data());
    return s;
}

// Byte sources for the entry parser. Both report the end of input as EOF;
// a data byte 0xFF is returned as 255 and never mistaken for it.

// Reads straight from the stream, one byte at a time.
class StreamInput {
public:
    explicit StreamInput(std::FILE* stream) : stream_(stream) {}

    int get() { return std::getc(stream_); }

    // Consumes bytes up to and including the next c; false at the end.
    bool skipPast(char c) {
        for (int read = get(); read != EOF; read = get())
            if (read == static_cast<unsigned char>(c))
                return true;
        return false;
    }

    // Appends bytes to out up to the first byte equal to a or b, which is
    // consumed and returned; EOF when the input ends first.
    int appendUntil(std::string& out, char a, char b) {
        for (;;) {
            int c = get();
            if (c == EOF || c == static_cast<unsigned char>(a) || c == static_cast<unsigned char>(b))
                return c;
            out.push_back(static_cast<char>(c));
        }
    }

private:
    std::FILE* stream_;
};

// Reads the stream in large blocks and scans them with memchr: the same
// results as StreamInput, without a call into the C runtime for each byte.
class BlockInput {
public:
    explicit BlockInput(std::FILE* stream) : stream_(stream) {}

    bool failed() const { return std::ferror(stream_) != 0; }
    // Whether skipPast passed over anything but line ends, blanks and tabs.
    bool skippedText() const { return skippedText_; }
    // Bytes taken from the stream so far.
    std::uint64_t consumed() const { return read_ - (end_ - pos_); }

    int get() {
        if (pos_ == end_ && !refill())
            return EOF;
        return static_cast<unsigned char>(buffer_[pos_++]);
    }

    bool skipPast(char c) {
        for (;;) {
            if (pos_ == end_ && !refill())
                return false;
            const char* hit = static_cast<const char*>(std::memchr(buffer_ + pos_, c, end_ - pos_));
            noteSkipped(buffer_ + pos_, hit ? hit : buffer_ + end_);
            if (hit) {
                pos_ = hit - buffer_ + 1;
                return true;
            }
            pos_ = end_;
        }
    }

    int appendUntil(std::string& out, char a, char b) {
        for (;;) {
            if (pos_ == end_ && !refill())
                return EOF;
            const char* begin = buffer_ + pos_;
            std::size_t length = end_ - pos_;
            const char* hit = find(begin, length, a, b);
            if (!hit) {
                out.append(begin, length);
                pos_ = end_;
                continue;
            }
            out.append(begin, hit - begin);
            pos_ += (hit - begin) + 1;
            return static_cast<unsigned char>(*hit);
        }
    }

private:
    void noteSkipped(const char* begin, const char* end) {
        for (const char* p = begin; p != end && !skippedText_; ++p)
            skippedText_ = *p != '\r' && *p != '\n' && *p != ' ' && *p != '\t';
    }

    static const char* find(const char* begin, std::size_t length, char a, char b) {
        if (a == b)
            return static_cast<const char*>(std::memchr(begin, a, length));
        for (const char* p = begin; p != begin + length; ++p)
            if (*p == a || *p == b)
                return p;
        return nullptr;
    }

    bool refill() {
        pos_ = 0;
        if (streamSeam.beforeRead)
            streamSeam.beforeRead(stream_, read_);
        end_ = std::fread(buffer_, 1, sizeof buffer_, stream_);
        read_ += end_;
        return end_ > 0;
    }

    std::FILE* stream_;
    char buffer_[1 << 16];
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::uint64_t read_ = 0;
    bool skippedText_ = false;
};

// A backslash and the byte after it always stay together, so an escaped
// "=" never ends the name.
template <class Input>
bool readName(Input& input, std::string& name) {
    for (;;) {
        int c = input.appendUntil(name, '=', '\\');
        if (c == EOF)
            return false;
        if (c == '=')
            return true;
        int escaped = input.get();
        if (escaped == EOF)
            return false;
        name.push_back('\\');
        name.push_back(static_cast<char>(escaped));
    }
}

// Reads the next entry. Bytes before its "{" are skipped; the name runs to
// the first "=" that is not escaped by a backslash, the value to the first
// "}". Both are unescaped afterwards, whether or not the entry was complete.
// opened tells whether an entry began, complete or not; written (when given)
// turns false at a complete entry that is not in the form a save writes.
template <class Input>
EntryRead parseEntry(Input& input, Record& record, bool& opened, bool* written = nullptr) {
    record.name().clear();
    record.value().clear();
    opened = input.skipPast('{');
    bool complete = opened && readName(input, record.name()) && input.appendUntil(record.value(), '}', '}') != EOF;
    // Checked only while all is as a save writes it, in the same pass.
    unescapeIn(record.name(), true, complete ? written : nullptr);
    unescapeIn(record.value(), false, complete ? written : nullptr);
    return complete ? EntryRead::complete : EntryRead::endOfInput;
}

// The size of the stream's file in bytes; 0 when it cannot be told.
std::uint64_t sizeOf(std::FILE* stream) {
#ifdef _WIN32
    struct _stat64 info;
    return _fstat64(_fileno(stream), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
#else
    struct stat info;
    return fstat(fileno(stream), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
#endif
}

// After this many entries a large file's record count is estimated.
constexpr std::size_t sampleEntries = 1024;

// Reserves room for the records of the whole file, estimated from the
// entries read so far and a quarter more, so that the array is not copied
// again and again as it grows, each time holding the old and the new one.
// Room that is never used is never touched either, so it costs address
// space but no memory. A file whose first entries are much smaller than
// the rest gets at most its own size in records; beyond that (or when the
// estimate falls short) the array grows as usual.
void reserveForTheRest(std::vector<Record>& records, std::uint64_t consumed, std::uint64_t streamSize) {
    if (consumed == 0 || streamSize <= consumed)
        return;
    std::uint64_t estimate = streamSize / consumed * records.size() +
                             streamSize % consumed * records.size() / consumed;
    estimate += estimate / 4;
    std::uint64_t limit = streamSize / sizeof(Record);
    if (estimate > limit)
        estimate = limit;
    if (estimate > records.size() && estimate <= records.max_size())
        records.reserve(static_cast<std::size_t>(estimate));
}

} // namespace

std::string& escapeField(std::string& s) {
    if (s.find_first_of("{}\\") == std::string::npos)
        return s;
    std::string escaped(2 * s.size(), '\0');
    escaped.resize(copyEscaped(escaped.data(), s, false) - escaped.data());
    s.swap(escaped);
    return s;
}

std::string& unescapeField(std::string& s) {
    return unescapeIn(s, false, nullptr);
}

std::size_t entrySizeLimit(const Record& record) {
    return 2 * (record.name().size() + record.value().size()) + 3;
}

char* writeEntry(char* out, const Record& record) {
    *out++ = '{';
    out = copyEscaped(out, record.name(), true);
    *out++ = '=';
    out = copyEscaped(out, record.value(), false);
    *out++ = '}';
    return out;
}

void appendEntry(std::string& out, const Record& record) {
    std::size_t start = out.size();
    out.resize(start + entrySizeLimit(record));
    char* end = writeEntry(out.data() + start, record);
    out.resize(end - out.data());
}

void writeRecord(const Record& record, std::FILE* stream) {
    std::string entry;
    appendEntry(entry, record);
    std::fwrite(entry.data(), 1, entry.size(), stream);
}

EntryRead readRecord(Record& record, std::FILE* stream) {
    StreamInput input(stream);
    bool opened;
    return parseEntry(input, record, opened);
}

bool readEntries(std::FILE* stream, std::vector<Record>& out, LoadReport* report, const Progress& progress) {
    BlockInput input(stream);
    std::uint64_t streamSize = sizeOf(stream);
    // The entry is read into scratch strings that keep their room from one
    // entry to the next; the record gets copies of exactly their size.
    Record scratch;
    bool opened;
    bool written = report != nullptr;
    while (parseEntry(input, scratch, opened, &written) == EntryRead::complete) {
        out.emplace_back(scratch.name(), scratch.value());
        if (out.size() == sampleEntries)
            reserveForTheRest(out, input.consumed(), streamSize);
        // A file that grows while it is read is done when it ends.
        if (out.size() % progressStride == 0)
            reportProgress(progress, std::min(input.consumed(), streamSize), streamSize);
    }
    reportProgress(progress, streamSize, streamSize);
    if (report) {
        report->textOutsideEntries = input.skippedText();
        report->cutOffEntry = opened;
        report->rewrittenEntry = !written;
    }
    return !input.failed();
}

int compareNoCase(const std::string& a, const std::string& b) {
    return compareNoCase(a.c_str(), b.c_str());
}

int compareNoCase(const char* a, const char* b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    for (;; ++p, ++q) {
        if (*p == *q) {
            if (*p == 0)
                return 0;
            continue;
        }
        int difference = foldCase(*p) - foldCase(*q);
        if (difference != 0)
            return difference;
    }
}

std::uint64_t foldedBlock(const char*& p) {
    std::uint64_t block = 0;
    for (int i = 0; i < 8; ++i) {
        unsigned char c = static_cast<unsigned char>(*p);
        block = (block << 8) | static_cast<std::uint64_t>(foldCase(c));
        if (c != 0)
            ++p;
    }
    return block;
}

bool nameLess(const Record& a, const Record& b) {
    return compareNoCase(a.name(), b.name()) < 0;
}

bool nameGreater(const Record& a, const Record& b) {
    return compareNoCase(a.name(), b.name()) > 0;
}
