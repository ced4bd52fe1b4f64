#pragma once
// Report lines and paths are UTF-8; names read from a chess set may be bytes
// in a code page. These helpers tell the two apart, one character at a time.

#include <cstddef>
#include <string_view>

namespace sorrelwick::report {

// The length of the valid UTF-8 sequence that `text` begins with (1 for an
// ASCII byte), or 0 when it begins with none: a byte of a code page, a cut
// sequence, an overlong form or a surrogate.
inline std::size_t Utf8SequenceLength(std::string_view text) {
    if (text.empty()) return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

// How many characters `text` holds: a UTF-8 sequence counts as one, and so
// does each byte that begins none.
inline std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const std::size_t length = Utf8SequenceLength(text.substr(i));
        i += length == 0 ? 1 : length;
    }
    return count;
}

// The first `count` characters of `text` (all of it when it holds fewer):
// a text shown cut short is cut between two characters, never inside one.
inline std::string_view FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t taken = 0; taken < count && end < text.size(); ++taken) {
        const std::size_t length = Utf8SequenceLength(text.substr(end));
        end += length == 0 ? 1 : length;
    }
    return text.substr(0, end);
}

}  // namespace sorrelwick::report
