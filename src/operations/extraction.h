#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "report/report_log.h"
#include "set_file/tool_state.h"

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

// The same for the textures `names` names, as the listing prints them
// ("NAME#2" for the second of a name): only those are written, each under
// its own name. A name that is not in the set gets one line, and nothing is
// written.
bool ExtractNamedTextures(const ToolState& state, std::string_view folder,
                          const std::vector<std::string>& names, report::ReportLog* log,
                          std::size_t* texturesFailed = nullptr);

// Writes the set's texture number `texture` (from 0, in file order) to
// `path`, never replacing a file there, with the report lines of an
// extraction into the path's folder. True when it was written.
bool ExtractTextureAs(const ToolState& state, std::size_t texture, std::string_view path,
                      report::ReportLog* log);

}  // namespace sorrelwick::operations
