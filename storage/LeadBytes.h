#pragma once

#include <cstddef>

// The lead bytes of a double-byte code page (Japanese, Chinese, Korean): a
// lead byte and the byte after it, its trail byte, are one character; every
// other byte is a character of its own. A trail byte can be any byte, a
// lead byte or a letter too, so which bytes are trail bytes depends on
// where the characters start. The program takes the table of the system's
// code page; single-byte code pages have no lead bytes, and UTF-8 needs
// none: its bytes tell by themselves which of them start a character.
class LeadBytes {
public:
    // No lead bytes: every byte is a character.
    LeadBytes() = default;

    // Makes `byte` a lead byte. Bytes below 0x80 (NUL, ASCII letters) are
    // characters of their own on every code page: for them it does nothing.
    void add(unsigned char byte);

    bool contains(unsigned char byte) const { return lead_[byte]; }
    bool any() const { return any_; }

    // Whether a character starts at text[at], given that one starts at
    // text[known] (known <= at, no NUL before at).
    bool startsCharacter(const char* text, std::size_t known, std::size_t at) const;

private:
    bool lead_[256] = {};
    bool any_ = false;
};
