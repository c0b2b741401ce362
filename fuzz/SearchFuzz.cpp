// Fuzz target for the record search: for any records, text, case rule,
// direction and starting place it must find what a naive search finds.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "RecordFormat.h"
#include "RecordSearch.h"

namespace {

// Every match in order, tried at each byte of each field up to its NUL.
std::vector<TextPlace> everyMatch(const RecordList& records, const std::string& text, bool matchCase) {
    auto same = [matchCase](unsigned char a, unsigned char b) {
        return matchCase ? a == b : foldCase(a) == foldCase(b);
    };
    std::vector<TextPlace> matches;
    for (std::size_t record = 0; record < records.size(); ++record) {
        for (RecordField field : {RecordField::name, RecordField::value}) {
            const Record& r = records.at(record);
            std::string shown = (field == RecordField::name ? r.name() : r.value()).c_str();
            for (std::size_t at = 0; !text.empty() && at + text.size() <= shown.size(); ++at)
                if (std::equal(text.begin(), text.end(), shown.begin() + at, same))
                    matches.push_back({record, field, at});
        }
    }
    return matches;
}

bool before(const TextPlace& a, const TextPlace& b) {
    return a.record != b.record ? a.record < b.record : a.field != b.field ? a.field < b.field : a.offset < b.offset;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    bool matchCase = input.ConsumeBool();
    bool forward = input.ConsumeBool();
    TextPlace from{input.ConsumeIntegralInRange<std::size_t>(0, 6),
                   input.ConsumeBool() ? RecordField::name : RecordField::value,
                   input.ConsumeIntegralInRange<std::size_t>(0, 300)};
    std::string text = input.ConsumeRandomLengthString(40);
    RecordList records;
    while (input.remaining_bytes() > 0 && records.size() < 5) {
        std::string name = input.ConsumeRandomLengthString(300);
        records.append(Record(name, input.ConsumeRandomLengthString(1000)));
    }
    std::vector<TextPlace> matches = everyMatch(records, text.c_str(), matchCase);
    // Forward: the first at or after `from`, else the first; backward: the
    // last before it, else the last.
    std::optional<TextPlace> expected;
    for (const TextPlace& match : matches)
        if (forward ? !expected && !before(match, from) : before(match, from))
            expected = match;
    if (!expected && !matches.empty())
        expected = forward ? matches.front() : matches.back();
    auto direction = forward ? RecordSearch::Direction::forward : RecordSearch::Direction::backward;
    if (RecordSearch(text, matchCase).find(records, from, direction) != expected)
        std::abort();
    return 0;
}
