#include "ui/outcome_line_log.h"

#include "report/lines.h"

namespace sorrelwick::ui {

void OutcomeLineLog::AppendLine(std::string_view line) {
    if (next_) next_->AppendLine(line);
    if (line == report::kSeparatorLine) {
        headingNext_ = true;
    } else if (line.empty() || !outcome_.empty()) {
        return;
    } else if (headingNext_) {
        headingNext_ = false;
        if (heading_.empty()) heading_ = line;
    } else {
        outcome_ = line;
    }
}

}  // namespace sorrelwick::ui
