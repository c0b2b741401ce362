#include "DatabaseGenerator.h"

#include <random>
#include <string>

namespace {

const char* const words[] = {
    "meeting", "notes", "Anna", "budget", "2024", "garden", "recipe", "phone", "address", "ideas",
    "book", "list", "travel", "Berlin", "invoice", "car", "doctor", "password", "hint", "project",
    "draft", "letter", "shopping", "tax", "school", "holiday", "plan", "review", "todo", "music",
    "{draft}", "C:\\notes", "a=b", "x", "the", "and", "of", "to", "with", "for",
};
constexpr std::size_t wordCount = sizeof words / sizeof words[0];

class Generator {
public:
    explicit Generator(std::uint64_t seed) : random_(seed) {}

    Record next() {
        int nameLength = chance(80) ? between(5, 30) : between(31, 60);
        return Record(text(nameLength, false), text(valueLength(), true));
    }

private:
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool chance(int percent) { return between(1, 100) <= percent; }

    int valueLength() {
        int roll = between(1, 100);
        if (roll <= 75)
            return between(0, 60);
        if (roll <= 97)
            return between(60, 250);
        return between(250, 2000);
    }

    // Words separated by blanks, with a line break now and then in values,
    // cut to exactly the length asked for.
    std::string text(int length, bool multiline) {
        std::string s;
        s.reserve(length + 16);
        while (static_cast<int>(s.size()) < length) {
            if (!s.empty())
                s += (multiline && chance(15)) ? "\r\n" : " ";
            s += words[between(0, wordCount - 1)];
        }
        s.resize(length);
        return s;
    }

    std::mt19937_64 random_;
};

} // namespace

RecordList generateDatabase(std::size_t count, std::uint64_t seed) {
    Generator generator(seed);
    RecordList list;
    for (std::size_t i = 0; i < count; ++i)
        list.append(generator.next());
    return list;
}
