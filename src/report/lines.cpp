#include "report/lines.h"

#include "report/columns.h"

namespace sorrelwick::report {
namespace {

constexpr std::size_t kSizeColumn = 30;
constexpr std::size_t kDepthColumn = 41;
constexpr std::size_t kOutcomeColumn = 50;

}  // namespace

std::string TextureInfoLine(std::string_view name, std::uint16_t width, std::uint16_t height,
                            std::uint8_t depth, std::optional<std::string_view> outcome) {
    std::string line = Indented(name);
    PadTo(line, kSizeColumn);
    line += std::to_string(width) + "x" + std::to_string(height);
    PadTo(line, kDepthColumn);
    line += std::to_string(depth) + " bits";
    if (outcome) {
        PadTo(line, kOutcomeColumn);
        line.append(*outcome);
    }
    return line;
}

std::string NameMessageLine(std::string_view name, std::optional<std::string_view> message) {
    std::string line = Indented(name);
    if (message) {
        PadTo(line, kOutcomeColumn);
        line.append(*message);
    }
    return line;
}

void AddHeading(ReportLog& log, std::string_view title) {
    log.AppendLine(kSeparatorLine);
    log.AppendLine(title);
    log.AppendLine("");
}

void AddClosing(ReportLog& log) {
    log.AppendLine(kSeparatorLine);
    log.AppendLine("");
}

}  // namespace sorrelwick::report
