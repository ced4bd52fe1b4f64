#pragma once
// How the report's column layouts are composed.

#include <string>
#include <string_view>

namespace sorrelwick::report {

// One space, then spaces up to `column` while the line is shorter.
inline void PadTo(std::string& line, std::size_t column) {
    line.push_back(' ');
    if (line.size() < column) line.append(column - line.size(), ' ');
}

// Two spaces, then `name`.
inline std::string Indented(std::string_view name) {
    std::string line = "  ";
    line.append(name);
    return line;
}

}  // namespace sorrelwick::report
