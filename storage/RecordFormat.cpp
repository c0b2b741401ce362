#include "RecordFormat.h"

#include <cstring>

namespace {

// The two-byte escape written for a byte, or nullptr when it is written as is.
const char* escapeFor(char c, bool escapeEquals) {
    switch (c) {
    case '{': return "\\o";
    case '}': return "\\c";
    case '\\': return "\\\\";
    case '=': return escapeEquals ? "\\=" : nullptr;
    default: return nullptr;
    }
}

void appendEscaped(std::string& out, const std::string& s, bool escapeEquals) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char* escape = escapeFor(s[i], escapeEquals);
        if (!escape)
            continue;
        out.append(s, start, i - start);
        out.append(escape, 2);
        start = i + 1;
    }
    out.append(s, start, std::string::npos);
}

std::string& escapeInPlace(std::string& s, bool escapeEquals) {
    if (s.find_first_of(escapeEquals ? "{}\\=" : "{}\\") == std::string::npos)
        return s;
    std::string escaped;
    escaped.reserve(s.size());
    appendEscaped(escaped, s, escapeEquals);
    s.swap(escaped);
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
// results as StreamInput, many times faster on big files.
class BlockInput {
public:
    explicit BlockInput(std::FILE* stream) : stream_(stream) {}

    bool failed() const { return std::ferror(stream_) != 0; }

    int get() {
        if (pos_ == end_ && !refill())
            return EOF;
        return static_cast<unsigned char>(buffer_[pos_++]);
    }

    bool skipPast(char c) {
        for (;;) {
            if (pos_ == end_ && !refill())
                return false;
            const void* hit = std::memchr(buffer_ + pos_, c, end_ - pos_);
            if (hit) {
                pos_ = static_cast<const char*>(hit) - buffer_ + 1;
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
        end_ = std::fread(buffer_, 1, sizeof buffer_, stream_);
        return end_ > 0;
    }

    std::FILE* stream_;
    char buffer_[1 << 16];
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
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
template <class Input>
EntryRead parseEntry(Input& input, Record& record) {
    record.name().clear();
    record.value().clear();
    bool complete = input.skipPast('{') && readName(input, record.name()) &&
                    input.appendUntil(record.value(), '}', '}') != EOF;
    unescapeField(record.name());
    unescapeField(record.value());
    return complete ? EntryRead::complete : EntryRead::endOfInput;
}

int fold(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

} // namespace

std::string& escapeField(std::string& s) {
    return escapeInPlace(s, false);
}

std::string& escapeName(std::string& s) {
    return escapeInPlace(s, true);
}

std::string& unescapeField(std::string& s) {
    // The plain form is never longer, so it is built over the escaped one.
    std::size_t from = s.find('\\');
    if (from == std::string::npos)
        return s;
    std::size_t to = from;
    while (from < s.size()) {
        char c = s[from++];
        if (c != '\\' || from == s.size()) {
            s[to++] = c;
            continue;
        }
        char next = s[from++];
        s[to++] = next == 'o' ? '{' : next == 'c' ? '}' : next; // "\\" and any other byte
    }
    s.resize(to);
    return s;
}

void appendEntry(std::string& out, const Record& record) {
    out.push_back('{');
    appendEscaped(out, record.name(), true);
    out.push_back('=');
    appendEscaped(out, record.value(), false);
    out.push_back('}');
}

void writeRecord(const Record& record, std::FILE* stream) {
    std::string entry;
    appendEntry(entry, record);
    std::fwrite(entry.data(), 1, entry.size(), stream);
}

EntryRead readRecord(Record& record, std::FILE* stream) {
    StreamInput input(stream);
    return parseEntry(input, record);
}

bool readEntries(std::FILE* stream, std::vector<Record>& out) {
    BlockInput input(stream);
    Record record;
    while (parseEntry(input, record) == EntryRead::complete)
        out.push_back(std::move(record));
    return !input.failed();
}

int compareNoCase(const std::string& a, const std::string& b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a.c_str());
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b.c_str());
    for (;; ++p, ++q) {
        if (*p == *q) {
            if (*p == 0)
                return 0;
            continue;
        }
        int difference = fold(*p) - fold(*q);
        if (difference != 0)
            return difference;
    }
}

bool nameLess(const Record& a, const Record& b) {
    return compareNoCase(a.name(), b.name()) < 0;
}

bool nameGreater(const Record& a, const Record& b) {
    return compareNoCase(a.name(), b.name()) > 0;
}
