#pragma once

#include <string>

#include "operations/tool_state.h"
#include "report/report_log.h"

namespace sorrelwick::operations {

// Writes one self-contained HTML page that shows every texture of the loaded
// chess set, in file order, with its name, size, depth and image type and a
// flag for what would trouble the game; the report has one line per texture.
// The page is written only when the whole set could be read, and never over
// an existing file unless `replaceExisting`. True when the page was written.
bool WritePreviewPage(const ToolState& state, const std::string& pagePath, bool replaceExisting,
                      report::ReportLog* log);

}  // namespace sorrelwick::operations
