#include "mod/mod_guard.h"

#include "mod/mod_messages.h"
#include "report/messages.h"

namespace sorrelwick::mod {

bool SetAndModGiven(const ToolState& state, const std::string& modPath, report::ReportLog& log) {
    if (state.setPath.empty()) {
        log.AppendLine(report::msg::kInvalidLoadSavePath);
        return false;
    }
    if (modPath.empty()) {
        log.AppendLine(msg::kInvalidModPath);
        return false;
    }
    return true;
}

}  // namespace sorrelwick::mod
