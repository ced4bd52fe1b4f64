#pragma once

#include "set_file/tool_state.h"
#include "report/report_log.h"

namespace sorrelwick::operations {

// Reports every texture of the loaded chess set with name, size and depth.
// True when the file is a readable chess set and was listed to its end.
// Never writes to disk.
bool ListTextures(const ToolState& state, report::ReportLog* log);

}  // namespace sorrelwick::operations
