#pragma once
// Small helpers for comparing whole reports line by line.

#include <string>
#include <vector>

#include "report/lines.h"

namespace sorrelwick::test {

inline const std::string kSep(report::kSeparatorLine);

// The lines of a framed report: heading, body, closing.
inline std::vector<std::string> Framed(const std::string& title,
                                       const std::vector<std::string>& body) {
    std::vector<std::string> lines = {kSep, title, ""};
    lines.insert(lines.end(), body.begin(), body.end());
    lines.push_back(kSep);
    lines.push_back("");
    return lines;
}

}  // namespace sorrelwick::test
