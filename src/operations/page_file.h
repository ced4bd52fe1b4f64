#pragma once
// Writes a page the way every output of the tool is written: whole or not at
// all, and never over a file the user did not ask to replace.

#include <string>

#include "backup/temporary_file.h"
#include "report/report_log.h"

namespace sorrelwick::operations {

// A page being written: a new file beside the page's path, which takes
// that path only once it is whole.
struct PageDraft {
    backup::TemporaryFile temporary;
    std::string path;  // where the page goes
};

// What became of a page.
enum class PageOutcome {
    NotWritten,  // lines in the report say why; no file of ours is left
    Written,
    // In place, but its folder could not be flushed: a power cut may still
    // lose the move. The caller says so after saying it was written.
    Unsettled,
};

// Creates the draft's file beside `path`; false, with its "Error - " line,
// when it can't.
bool StartPageFile(const std::string& path, PageDraft& draft, report::ReportLog& log);

// Flushes and closes the draft, then moves it to its path. An existing page
// is left alone unless `replaceExisting`; then it is set aside, the new file
// moved in, and the old one deleted, so that at any moment one of them is
// there. A chess set (or its backup) is never replaced. Every failure adds
// its "Error - " line and leaves no file of ours behind.
PageOutcome FinishPageFile(PageDraft& draft, bool replaceExisting, report::ReportLog& log);

// Gives the draft up after a failure its writer has reported: its file goes.
void AbandonPageFile(PageDraft& draft, report::ReportLog& log);

}  // namespace sorrelwick::operations
