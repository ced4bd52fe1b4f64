#pragma once
// A report log that passes every line on and keeps the one that tells the
// outcome, for a status line: the first line of the operation's body (a
// texture's line with its outcome, a refusal), or a lone line.

#include <string>
#include <string_view>

#include "report/report_log.h"

namespace sorrelwick::ui {

class OutcomeLineLog final : public report::ReportLog {
public:
    // `next` takes every line; it may be null.
    explicit OutcomeLineLog(report::ReportLog* next) : next_(next) {}

    void AppendLine(std::string_view line) override;

    // The outcome line; the heading when the body had none; empty when no
    // line came.
    const std::string& Outcome() const { return outcome_.empty() ? heading_ : outcome_; }
    // The first operation's heading; empty when none came.
    const std::string& Heading() const { return heading_; }

private:
    report::ReportLog* next_;
    std::string heading_;
    std::string outcome_;
    bool headingNext_ = false;  // the line after a separator is a heading
};

}  // namespace sorrelwick::ui
