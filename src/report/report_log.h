#pragma once
// The report list: the one place where the tool tells the user what happened.
// Operations only ever append; the Windows list box and the command line
// each implement AppendLine.

#include <string>
#include <string_view>
#include <vector>

namespace sorrelwick::report {

class ReportLog {
public:
    virtual ~ReportLog() = default;
    // Adds `line` as the new last line and brings it into view. An empty
    // text is a blank line.
    virtual void AppendLine(std::string_view line) = 0;
};

// Keeps the lines in memory; what the tests read a report from.
class MemoryReportLog final : public ReportLog {
public:
    void AppendLine(std::string_view line) override { lines_.emplace_back(line); }
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

}  // namespace sorrelwick::report
