#pragma once
// What `apply` and `unapply` check before their report starts: a set to
// change and a mod to change it with.

#include <string>

#include "report/report_log.h"
#include "set_file/tool_state.h"

namespace sorrelwick::mod {

// True when a set is loaded and `modPath` names a mod; otherwise the
// guard's single "Error - " line, without the report's frame.
bool SetAndModGiven(const ToolState& state, const std::string& modPath, report::ReportLog& log);

}  // namespace sorrelwick::mod
