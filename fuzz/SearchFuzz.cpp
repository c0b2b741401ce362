// Fuzz target for the record search: for any records, text, case rule,
// direction and starting place it must find what a naive search finds.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "RecordFormat.h"
#include "RecordSearch.h"

namespace {

// Every match, in the order of the records' text, byte by byte in each
// field's text up to its first NUL.
std::vector<TextPlace> everyMatch(const RecordList& records, std::string text, bool matchCase) {
    text = text.c_str();
    std::vector<TextPlace> matches;
    if (text.empty())
        return matches;
    auto same = [matchCase](char a, char b) {
        return matchCase ? a == b : foldCase(static_cast<unsigned char>(a)) == foldCase(static_cast<unsigned char>(b));
    };
    for (std::size_t record = 0; record < records.size(); ++record) {
        for (RecordField field : {RecordField::name, RecordField::value}) {
            const Record& r = records.at(record);
            std::string shown = (field == RecordField::name ? r.name() : r.value()).c_str();
            for (std::size_t at = 0; at + text.size() <= shown.size(); ++at) {
                std::size_t i = 0;
                while (i < text.size() && same(shown[at + i], text[i]))
                    ++i;
                if (i == text.size())
                    matches.push_back({record, field, at});
            }
        }
    }
    return matches;
}

bool before(const TextPlace& a, const TextPlace& b) {
    if (a.record != b.record)
        return a.record < b.record;
    if (a.field != b.field)
        return a.field == RecordField::name;
    return a.offset < b.offset;
}

std::optional<TextPlace> naiveFind(const std::vector<TextPlace>& matches, const TextPlace& from, bool forward) {
    if (matches.empty())
        return std::nullopt;
    if (forward) {
        for (const TextPlace& match : matches)
            if (!before(match, from))
                return match;
        return matches.front();
    }
    for (auto match = matches.rbegin(); match != matches.rend(); ++match)
        if (before(*match, from))
            return *match;
    return matches.back();
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
    RecordSearch search(text, matchCase);
    auto direction = forward ? RecordSearch::Direction::forward : RecordSearch::Direction::backward;
    if (search.find(records, from, direction) != naiveFind(everyMatch(records, text, matchCase), from, forward))
        std::abort();
    return 0;
}
