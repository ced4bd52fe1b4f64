#pragma once
// How the report's column layouts are composed.

#include <string>
#include <string_view>

#include "report/utf8_text.h"

namespace sorrelwick::report {

// One space, then spaces up to `column` while the line is shorter, in
// characters, so that a name in any language keeps the columns in line.
inline void PadTo(std::string& line, std::size_t column) {
    line.push_back(' ');
    const std::size_t shown = CharacterCount(line);
    if (shown < column) line.append(column - shown, ' ');
}

// Two spaces, then `name`.
inline std::string Indented(std::string_view name) {
    std::string line = "  ";
    line.append(name);
    return line;
}

}  // namespace sorrelwick::report
