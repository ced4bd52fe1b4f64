#pragma once
// The command line's report list: each line goes to a stream at once,
// followed by a newline.

#include <ostream>

#include "report/report_log.h"

namespace sorrelwick::cli {

class StreamReportLog final : public report::ReportLog {
public:
    explicit StreamReportLog(std::ostream& out) : out_(out) {}
    void AppendLine(std::string_view line) override { out_ << line << '\n' << std::flush; }

private:
    std::ostream& out_;
};

}  // namespace sorrelwick::cli
