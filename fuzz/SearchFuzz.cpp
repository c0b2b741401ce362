// Fuzz target for the record search: for any records, text, case rule,
// direction, starting place and code page (none, 932's lead bytes or any
// lead bytes) it must find what a naive search finds.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "LeadBytes.h"
#include "RecordFormat.h"
#include "RecordSearch.h"

namespace {

// Where the characters of a text start, read from its first byte: a lead
// byte and the byte after it are one character, a lead byte at the end one
// alone. The end counts as a start.
std::vector<bool> characterStarts(const std::string& text, const LeadBytes& leadBytes) {
    std::vector<bool> starts(text.size() + 1);
    for (std::size_t at = 0; at < text.size();) {
        starts[at] = true;
        at += leadBytes.contains(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
    }
    starts[text.size()] = true;
    return starts;
}

// The text with its one-byte characters folded, unless the case must match.
std::string comparable(std::string text, const std::vector<bool>& starts, bool matchCase) {
    for (std::size_t at = 0; at < text.size() && !matchCase; ++at)
        if (starts[at] && starts[at + 1])
            text[at] = static_cast<char>(foldCase(static_cast<unsigned char>(text[at])));
    return text;
}

// Every match in order, tried at each character of each field up to its NUL.
std::vector<TextPlace> everyMatch(const RecordList& records, const std::string& text, bool matchCase,
                                  const LeadBytes& leadBytes) {
    std::string wanted = comparable(text, characterStarts(text, leadBytes), matchCase);
    std::vector<TextPlace> matches;
    for (std::size_t record = 0; record < records.size(); ++record) {
        for (RecordField field : {RecordField::name, RecordField::value}) {
            const Record& r = records.at(record);
            std::string shown = (field == RecordField::name ? r.name() : r.value()).c_str();
            std::vector<bool> starts = characterStarts(shown, leadBytes);
            shown = comparable(shown, starts, matchCase);
            for (std::size_t at = 0; !text.empty() && at + text.size() <= shown.size(); ++at)
                if (starts[at] && starts[at + text.size()] && shown.compare(at, text.size(), wanted) == 0)
                    matches.push_back({record, field, at});
        }
    }
    return matches;
}

// No lead bytes, code page 932's or any bytes the input picks.
LeadBytes leadBytesFor(FuzzedDataProvider& input) {
    LeadBytes leadBytes;
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 1:
        for (int byte = 0x81; byte <= 0xFC; ++byte)
            if (byte <= 0x9F || byte >= 0xE0)
                leadBytes.add(static_cast<unsigned char>(byte));
        break;
    case 2: // bytes below 0x80 included: they must stay characters of their own
        for (int quarter = 0; quarter < 4; ++quarter) {
            std::uint64_t bits = input.ConsumeIntegral<std::uint64_t>();
            for (int bit = 0; bit < 64; ++bit)
                if (bits >> bit & 1)
                    leadBytes.add(static_cast<unsigned char>(64 * quarter + bit));
        }
        break;
    }
    return leadBytes;
}

bool before(const TextPlace& a, const TextPlace& b) {
    return a.record != b.record ? a.record < b.record : a.field != b.field ? a.field < b.field : a.offset < b.offset;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    bool matchCase = input.ConsumeBool();
    bool forward = input.ConsumeBool();
    LeadBytes leadBytes = leadBytesFor(input);
    TextPlace from{input.ConsumeIntegralInRange<std::size_t>(0, 6),
                   input.ConsumeBool() ? RecordField::name : RecordField::value,
                   input.ConsumeIntegralInRange<std::size_t>(0, 300)};
    std::string text = input.ConsumeRandomLengthString(40);
    RecordList records;
    while (input.remaining_bytes() > 0 && records.size() < 5) {
        std::string name = input.ConsumeRandomLengthString(300);
        records.append(Record(name, input.ConsumeRandomLengthString(1000)));
    }
    std::vector<TextPlace> matches = everyMatch(records, text.c_str(), matchCase, leadBytes);
    // Forward: the first at or after `from`, else the first; backward: the
    // last before it, else the last.
    std::optional<TextPlace> expected;
    for (const TextPlace& match : matches)
        if (forward ? !expected && !before(match, from) : before(match, from))
            expected = match;
    if (!expected && !matches.empty())
        expected = forward ? matches.front() : matches.back();
    auto direction = forward ? RecordSearch::Direction::forward : RecordSearch::Direction::backward;
    if (RecordSearch(text, matchCase, leadBytes).find(records, from, direction) != expected)
        std::abort();
    return 0;
}
