#include "report/plain_line.h"

#include "report/utf8_text.h"

namespace sorrelwick::report {
namespace {

// The code point of the valid UTF-8 sequence `sequence`.
char32_t CodePoint(std::string_view sequence) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(sequence[i]); };
    if (sequence.size() == 1) return byte(0);
    char32_t point = byte(0) & (0x7F >> sequence.size());
    for (std::size_t i = 1; i < sequence.size(); ++i) point = (point << 6) | (byte(i) & 0x3F);
    return point;
}

// Marks that turn the order text is drawn in: they could make the text
// after them read as if it were the question's.
bool IsDirectionOverride(char32_t point) {
    return (point >= 0x202A && point <= 0x202E) || (point >= 0x2066 && point <= 0x2069);
}

bool IsControl(char32_t point) {
    return point < 0x20 || (point >= 0x7F && point <= 0x9F) || point == 0x2028 || point == 0x2029 ||
           IsDirectionOverride(point);
}

}  // namespace

std::string PlainOneLine(std::string_view text, std::size_t most) {
    std::string line;
    std::size_t characters = 0;
    for (std::size_t at = 0; at < text.size(); ++characters) {
        if (characters == most) return line + "...";
        const std::size_t length = report::Utf8SequenceLength(text.substr(at));
        if (length == 0 || IsControl(CodePoint(text.substr(at, length)))) {
            line += '?';
        } else {
            line.append(text.substr(at, length));
        }
        at += length == 0 ? 1 : length;
    }
    return line;
}

}  // namespace sorrelwick::report
