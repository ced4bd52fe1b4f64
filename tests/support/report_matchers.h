#pragma once
// The one way the tests build an expected report.

#include <algorithm>
#include <string>
#include <vector>

#include "report/lines.h"

namespace sorrelwick::test {

inline const std::string kSep(report::kSeparatorLine);

// The lines of a framed report: heading, body and, unless the operation
// stopped before it (a refused backup rotation), the closing lines.
inline std::vector<std::string> Framed(const std::string& title,
                                       const std::vector<std::string>& body, bool closed = true) {
    std::vector<std::string> lines = {kSep, title, ""};
    lines.insert(lines.end(), body.begin(), body.end());
    if (closed) lines.insert(lines.end(), {kSep, ""});
    return lines;
}

inline bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace sorrelwick::test
