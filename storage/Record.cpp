#include "Record.h"

#include <utility>

Record::Record(std::string name, std::string value)
    : name_(std::move(name)), value_(std::move(value)) {}
