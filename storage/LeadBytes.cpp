#include "LeadBytes.h"

void LeadBytes::add(unsigned char byte) {
    if (byte < 0x80)
        return;
    lead_[byte] = true;
    any_ = true;
}

// Only the run of lead bytes just before `at` tells: the byte before that
// run ends a character (a trail byte or a character of its own), as the
// byte before `known` does; from there the run goes in pairs.
bool LeadBytes::startsCharacter(const char* text, std::size_t known, std::size_t at) const {
    std::size_t run = 0;
    while (at - run > known && contains(static_cast<unsigned char>(text[at - run - 1])))
        ++run;
    return run % 2 == 0;
}
