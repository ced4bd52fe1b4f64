#pragma once

#include <string_view>

#include "operations/tool_state.h"
#include "report/report_log.h"

namespace sorrelwick::operations {

// Rewrites the loaded chess set through the guarded rewrite, putting the
// bytes of `folder`'s .tga file named like each texture in place of its
// image when the colour depth matches and the sides are powers of two.
// Reports one line per texture and one per .tga file that matched none.
// False when a guard fails or the rewrite failed; a texture that could not
// be imported does not make it fail.
bool ReplaceTextures(const ToolState& state, std::string_view folder, report::ReportLog* log);

}  // namespace sorrelwick::operations
