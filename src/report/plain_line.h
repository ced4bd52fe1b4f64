#pragma once
// Text from a file shown inside one of the tool's own questions: one plain
// line, so that it can't pass for the question's own lines.

#include <cstddef>
#include <string>
#include <string_view>

namespace sorrelwick::report {

// `text` on one line: control characters (C0, DEL, C1, the line and
// paragraph separators, the marks that turn the drawing order) and bytes of no UTF-8 character
// shown as "?", and a text of more than `most` characters cut to `most` with "..." after.
std::string PlainOneLine(std::string_view text, std::size_t most);

}  // namespace sorrelwick::report
