#include "RecordSearch.h"

#include <algorithm>
#include <cstring>

#include "RecordFormat.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::size_t none = std::string::npos;

// How many records ahead a search asks for the text it will need.
constexpr std::size_t prefetchDistance = 8;

// The fields of all records in one run: the name of record i is field 2i,
// its value field 2i + 1.
std::size_t fieldIndex(const TextPlace& place) {
    return 2 * place.record + (place.field == RecordField::value ? 1 : 0);
}

const std::string& fieldText(const RecordList& records, std::size_t index) {
    const Record& record = records.at(index / 2);
    return index % 2 ? record.value() : record.name();
}

// Asks for the text of the record that comes prefetchDistance records after
// (or before) the field's.
void prefetchAhead(const RecordList& records, std::size_t field, bool forward) {
    std::size_t record = field / 2;
    std::size_t ahead = forward ? record + prefetchDistance : record - prefetchDistance;
    if (ahead < records.size())
        prefetchText(records.at(ahead));
}

TextPlace placeOf(std::size_t index, std::size_t offset) {
    return {index / 2, index % 2 ? RecordField::value : RecordField::name, offset};
}

#if defined(__SSE2__)
__m128i load(const char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// A bit for each of the 16 bytes that reads as `byte`; with caseBit 0x20 an
// upper-case letter reads as its lower case (only letters differ from
// another byte in that bit alone).
unsigned bytesEqual(__m128i bytes, unsigned char byte, char caseBit) {
    __m128i folded = _mm_or_si128(bytes, _mm_set1_epi8(caseBit));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(folded, _mm_set1_epi8(static_cast<char>(byte)))));
}
#endif

} // namespace

RecordSearch::RecordSearch(const std::string& text, bool matchCase, const LeadBytes& leadBytes)
    : text_(text.c_str()), typed_(text_), matchCase_(matchCase), leadBytes_(leadBytes) {
    for (char& c : text_)
        c = static_cast<char>(comparable(static_cast<unsigned char>(c)));
}

std::optional<TextPlace> RecordSearch::find(const RecordList& records, const TextPlace& from,
                                            Direction direction) const {
    if (text_.empty())
        return std::nullopt;
    const std::size_t fields = 2 * records.size();
    const std::size_t start = from.record < records.size() ? fieldIndex(from) : fields;
    const std::size_t upToStart = std::min(start + 1, fields);
    std::optional<TextPlace> match;
    if (direction == Direction::forward) {
        match = firstIn(records, start, fields, from.offset);
        return match ? match : firstIn(records, 0, upToStart, 0);
    }
    match = lastIn(records, 0, upToStart, start < fields ? from.offset : none);
    return match ? match : lastIn(records, start, fields, none);
}

// The first match in the fields from `first` up to `end`, in the first of
// them from `offset` on.
std::optional<TextPlace> RecordSearch::firstIn(const RecordList& records, std::size_t first, std::size_t end,
                                               std::size_t offset) const {
    for (std::size_t field = first; field < end; ++field) {
        prefetchAhead(records, field, true);
        std::size_t at = firstMatch(fieldText(records, field), field == first ? offset : 0);
        if (at != none)
            return placeOf(field, at);
    }
    return std::nullopt;
}

// The last match in the fields from `first` up to `end`, in the last of them
// before `limit`.
std::optional<TextPlace> RecordSearch::lastIn(const RecordList& records, std::size_t first, std::size_t end,
                                              std::size_t limit) const {
    for (std::size_t field = end; field-- > first;) {
        prefetchAhead(records, field, false);
        std::size_t at = lastMatchBefore(fieldText(records, field), field == end - 1 ? limit : none);
        if (at != none)
            return placeOf(field, at);
    }
    return std::nullopt;
}

std::size_t RecordSearch::firstMatch(const std::string& field, std::size_t from) const {
    if (from > field.size())
        return none;
    // Whatever follows a NUL is not shown.
    if (from > 0 && std::memchr(field.data(), 0, from))
        return none;
    std::size_t known = 0;
    return scan(field.data(), field.size(), from, known);
}

std::size_t RecordSearch::lastMatchBefore(const std::string& field, std::size_t limit) const {
    std::size_t last = none;
    std::size_t known = 0;
    for (std::size_t at = scan(field.data(), field.size(), 0, known); at != none && at < limit;
         at = scan(field.data(), field.size(), at + 1, known))
        last = at;
    return last;
}

// The first match that starts at `from` or later and before the first NUL
// byte from there. A match cannot run over a NUL, as the text holds none.
// A character starts at `known` (at or before `from`); the scan moves it on.
std::size_t RecordSearch::scan(const char* data, std::size_t size, std::size_t from, std::size_t& known) const {
    const std::size_t length = text_.size();
    const unsigned char first = static_cast<unsigned char>(text_.front());
    std::size_t at = from;
#if defined(__SSE2__)
    // Sixteen starts at a time: the whole text is compared only where its
    // first and last bytes are both in place. The last block ends with the
    // field; the starts it shares with the block before are left out, as
    // they were looked at there.
    const unsigned char last = static_cast<unsigned char>(text_.back());
    const char firstCase = !matchCase_ && first >= 'a' && first <= 'z' ? 0x20 : 0;
    const char lastCase = !matchCase_ && last >= 'a' && last <= 'z' ? 0x20 : 0;
    const std::size_t span = length - 1 + 16;
    if (size - at >= span) {
        const std::size_t lastBlock = size - span;
        for (;; at += 16) {
            unsigned unseen = 0xFFFF;
            if (at > lastBlock) {
                unseen <<= at - lastBlock;
                at = lastBlock;
            }
            __m128i starts = load(data + at);
            unsigned candidates = unseen & bytesEqual(starts, first, firstCase) &
                                  bytesEqual(load(data + at + length - 1), last, lastCase);
            unsigned nul = bytesEqual(starts, 0, 0);
            if (nul)
                candidates &= (nul & (0u - nul)) - 1; // the starts before the NUL
            for (; candidates; candidates &= candidates - 1) {
                std::size_t start = at + static_cast<std::size_t>(__builtin_ctz(candidates));
                if (matchesAt(data + start) && isWholeCharacters(data, size, start, known))
                    return start;
            }
            if (nul || at == lastBlock)
                return none;
        }
    }
#endif
    for (; size - at >= length; ++at) {
        unsigned char c = static_cast<unsigned char>(data[at]);
        if (c == 0)
            return none;
        if (comparable(c) == first && matchesAt(data + at) && isWholeCharacters(data, size, at, known))
            return at;
    }
    return none;
}

bool RecordSearch::matchesAt(const char* data) const {
    if (matchCase_)
        return std::memcmp(data, text_.data(), text_.size()) == 0;
    for (std::size_t i = 0; i < text_.size(); ++i) {
        if (foldCase(static_cast<unsigned char>(data[i])) != static_cast<unsigned char>(text_[i]))
            return false;
    }
    return true;
}

// Whether a match found byte by byte is made of whole characters; without
// lead bytes it always is. It must start a character. From there its
// characters are the text's, as a lead byte is never a letter and so
// matches only itself; but its trail bytes must be the text's exactly, and
// a lead byte ending the text is a character of its own only where the
// shown text ends. Only byte matches come here, so the characters cost
// nothing where the bytes differ.
bool RecordSearch::isWholeCharacters(const char* data, std::size_t size, std::size_t start,
                                     std::size_t& known) const {
    if (!leadBytes_.any())
        return true;
    bool startsCharacter = leadBytes_.startsCharacter(data, known, start);
    known = startsCharacter ? start : start - 1; // a trail byte's lead byte starts a character
    if (!startsCharacter)
        return false;
    for (std::size_t i = 0; i < typed_.size(); ++i) {
        if (!leadBytes_.contains(static_cast<unsigned char>(typed_[i])))
            continue;
        std::size_t trail = i + 1;
        if (trail == typed_.size())
            return start + trail == size || data[start + trail] == 0;
        if (data[start + trail] != typed_[trail])
            return false;
        i = trail;
    }
    return true;
}

unsigned char RecordSearch::comparable(unsigned char c) const {
    return matchCase_ ? c : foldCase(c);
}
