#include "report/reason_line.h"

#include "report/messages.h"

namespace sorrelwick::report {

std::string ReasonText(platform::SystemError cause) {
    if (platform::MeansInUse(cause)) return std::string(msg::kFileInUse);
    return platform::SystemErrorText(cause);
}

void AppendFailure(ReportLog& log, std::string_view line, platform::SystemError cause) {
    log.AppendLine(line);
    if (const std::string reason = ReasonText(cause); !reason.empty()) {
        log.AppendLine(msg::ReasonLine(reason));
    }
}

std::string WithReason(std::string_view outcome, platform::SystemError cause) {
    std::string text(outcome);
    if (const std::string reason = ReasonText(cause); !reason.empty()) {
        text.append(" (").append(reason).append(")");
    }
    return text;
}

}  // namespace sorrelwick::report
