#pragma once
// Writes a page the way every output of the tool is written: whole or not at
// all, and never over a file the user did not ask to replace.

#include <string>
#include <string_view>

#include "report/report_log.h"

namespace sorrelwick::operations {

// Writes `contents` to a new file beside `path`, closes it, then moves it to
// `path`. An existing `path` is left alone unless `replaceExisting`; then it
// is set aside, the new file moved in, and the old one deleted, so that at
// any moment one of them is there. A chess set (or its backup) is never
// replaced. Every failure adds its "Error - " line and leaves no file of
// ours behind. True when `path` holds the new page.
bool WritePageFile(const std::string& path, std::string_view contents, bool replaceExisting,
                   report::ReportLog& log);

}  // namespace sorrelwick::operations
