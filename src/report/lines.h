#pragma once
// The fixed lines that frame each report and the two column layouts in which
// operations report single textures and files.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "report/report_log.h"

namespace sorrelwick::report {

inline constexpr std::string_view kSeparatorLine =
    "--------------------------------------------------------------------------";
static_assert(kSeparatorLine.size() == 74);

// "  name", size from column 30, depth from 41, outcome from 50; a field that
// would collide follows the previous one after a single space. No trailing
// space without an outcome. Never cut, however long the name.
std::string TextureInfoLine(std::string_view name, std::uint16_t width, std::uint16_t height,
                            std::uint8_t depth,
                            std::optional<std::string_view> outcome = std::nullopt);

// "  name", message from column 50 or after a single space.
std::string NameMessageLine(std::string_view name,
                            std::optional<std::string_view> message = std::nullopt);

// Separator line, title line, blank line.
void AddHeading(ReportLog& log, std::string_view title);
// Separator line, blank line.
void AddClosing(ReportLog& log);

}  // namespace sorrelwick::report
