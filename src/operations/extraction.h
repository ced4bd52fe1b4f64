#pragma once

#include <cstddef>
#include <string_view>

#include "set_file/tool_state.h"
#include "report/report_log.h"

namespace sorrelwick::operations {

// Writes every texture of the loaded chess set into `folder` as a file named
// like the texture, holding its image byte for byte. Never overwrites a file,
// never leaves a cut-off one under a texture's name (each is written under a
// temporary name first), and never uses a texture name that is not a plain
// file name as a path. A folder that is missing or can't be searched gets
// one line and nothing is written. True when the set was walked to its end
// and every file closed; a single texture that fails to export does not
// change it, but counts in `texturesFailed` (when given): the textures whose
// outcome is "Export failed".
bool ExtractTextures(const ToolState& state, std::string_view folder, report::ReportLog* log,
                     std::size_t* texturesFailed = nullptr);

}  // namespace sorrelwick::operations
