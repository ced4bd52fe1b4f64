#pragma once
// The preview page of what differs between the loaded set and another set
// (or one of its backups): each texture that differs, before and now side
// by side, and a count of those that don't.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "comparison/set_comparison.h"
#include "format/byte_fields.h"
#include "operations/page_file.h"
#include "report/report_log.h"
#include "set_file/tool_state.h"

namespace sorrelwick::operations {

// Compares the loaded set with `other`, adds the comparison's line for each
// texture that differs, then writes the page. Each file is walked once more
// for the pictures, reading only the images that differ; their pictures are
// made on `jobs` threads (0: one per core).
PageOutcome WriteChangesPage(const ToolState& state, const comparison::ComparedSet& other,
                             const std::string& pagePath, bool replaceExisting,
                             report::ReportLog& log, unsigned jobs = 0);

// Gets each texture that differs as the page's walks meet it: its place in
// the comparison's textures, whether it is the set's (else the other's)
// and its image, on the thread that reads the files.
using DifferenceVisit = std::function<void(std::size_t difference, bool inSet, format::Bytes tga)>;

// What a page of changes says besides its pictures, when its maker has
// words of its own: its title, and lines after the count.
struct ChangesPageWords {
    std::string title;
    std::vector<std::string> notes;
};

// The page of a comparison already made, with no report line of its own
// but failures; `visit`, when given, also sees each texture that differs.
PageOutcome WriteChangesPageOf(const comparison::ComparedSet& set,
                               const comparison::ComparedSet& other,
                               const comparison::SetComparison& comparison,
                               const std::string& pagePath, bool replaceExisting,
                               report::ReportLog& log, const DifferenceVisit& visit = {},
                               const ChangesPageWords& words = {}, unsigned jobs = 0);

// The same page as text, for a maker that keeps it in memory (a mod carries
// it) rather than on disk; nullopt, after the failure's line, when a file
// could not be read whole. A page that would pass `mostBytes` is given up
// there: the walks stop, and it comes back marked too large, for its maker
// to say so. May throw std::bad_alloc.
struct PageText {
    std::string text;
    bool tooLarge = false;
};
std::optional<PageText> ChangesPageText(const comparison::ComparedSet& set,
                                        const comparison::ComparedSet& other,
                                        const comparison::SetComparison& comparison,
                                        std::size_t mostBytes, report::ReportLog& log,
                                        const DifferenceVisit& visit = {},
                                        const ChangesPageWords& words = {}, unsigned jobs = 0);

}  // namespace sorrelwick::operations
