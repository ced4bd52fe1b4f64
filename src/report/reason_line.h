#pragma once
// The system's reason for a failure, told with it: a line "  Reason: TEXT"
// after an "Error - " line, or " (TEXT)" after a texture's outcome. A failure
// without a system cause is told as before.

#include <string>
#include <string_view>

#include "platform/system_error.h"
#include "report/report_log.h"

namespace sorrelwick::report {

// The reason's text: the system's words, or the tool's advice for a file
// that another program holds open. Empty without a cause.
std::string ReasonText(platform::SystemError cause);

// Adds `line`, then its reason line when the failure has a cause.
void AppendFailure(ReportLog& log, std::string_view line, platform::SystemError cause);

// `outcome`, then " (TEXT)" when the failure has a cause.
std::string WithReason(std::string_view outcome, platform::SystemError cause);

}  // namespace sorrelwick::report
