#pragma once

#include <functional>
#include <string>

#include "set_file/tool_state.h"
#include "report/report_log.h"

namespace sorrelwick::operations {

struct PreviewRequest {
    std::string pagePath;
    bool replaceExisting = false;  // an existing page may be replaced
    // Empty: the page shows every texture. Otherwise the set is compared
    // with this, a backup number of the set or another set's path (as
    // `diff` takes it), and the page shows the textures that differ only.
    std::string other;
    // Shows the written page; false when it could not. None: not shown.
    std::function<bool(const std::string& pagePath)> show;
    // Threads that make the page's pictures; 0: one per core. The page is
    // the same whatever the count.
    unsigned jobs = 0;
};

// Writes one self-contained HTML page that shows every texture of the loaded
// chess set, in file order, with its name, size, depth and image type and a
// flag for what would trouble the game; the report has one line per texture.
// Each card goes to the page's file as it is made. The page takes its path
// only when the whole set could be read, and never over an existing file
// unless `replaceExisting`. With `other`, the page shows each texture that
// differs, before and now side by side, and the report has the comparison's
// line for each. True when the page was written and its move made safe from
// a power cut; a page in place whose folder could not be flushed is reported
// as written, with a line that says so, and gives false.
bool WritePreviewPage(const ToolState& state, const PreviewRequest& request,
                      report::ReportLog* log);

}  // namespace sorrelwick::operations
