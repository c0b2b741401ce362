#pragma once

#include <string>

// One entry of a database: a name and a free-text value, both arbitrary
// byte strings (the system's ANSI code page, never converted here).
class Record {
public:
    Record() = default;
    Record(std::string name, std::string value);

    std::string& name() { return name_; }
    const std::string& name() const { return name_; }
    std::string& value() { return value_; }
    const std::string& value() const { return value_; }

    void setName(const std::string& name) { name_ = name; }
    void setValue(const std::string& value) { value_ = value; }

    bool operator==(const Record&) const = default;

private:
    std::string name_;
    std::string value_;
};

// Asks the processor for a record's text ahead of its turn. After a sort the
// records do not lie in the order in which their text was allocated, so each
// string is a fresh trip to memory; asked for early, those trips overlap
// instead of being waited for one by one.
inline void prefetchText(const Record& record) {
#if defined(__GNUC__)
    __builtin_prefetch(record.name().data());
    __builtin_prefetch(record.value().data());
#else
    (void)record;
#endif
}
