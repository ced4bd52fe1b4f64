#pragma once

#include <string_view>

#include "operations/tool_state.h"
#include "report/report_log.h"

namespace sorrelwick::operations {

// Writes every texture of the loaded chess set into `folder` as a file named
// like the texture, holding its image byte for byte. Never overwrites a file,
// never leaves a cut-off one behind, and never uses a texture name that is not
// a plain file name as a path. True when the set was walked to its end and
// every file closed; a single texture that fails to export does not change it.
bool ExtractTextures(const ToolState& state, std::string_view folder, report::ReportLog* log);

}  // namespace sorrelwick::operations
