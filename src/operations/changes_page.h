#pragma once
// The preview page of what differs between the loaded set and another set
// (or one of its backups): each texture that differs, before and now side
// by side, and a count of those that don't.

#include <string>

#include "comparison/set_comparison.h"
#include "set_file/tool_state.h"
#include "report/report_log.h"

namespace sorrelwick::operations {

// Compares the loaded set with `other`, adds the comparison's line for each
// texture that differs, then writes the page. Each file is walked once more
// for the pictures, one payload and one card at a time. False, with the
// lines that say why, when no page was written.
bool WriteChangesPage(const ToolState& state, const comparison::ComparedSet& other, const std::string& pagePath,
                      bool replaceExisting, report::ReportLog& log);

}  // namespace sorrelwick::operations
