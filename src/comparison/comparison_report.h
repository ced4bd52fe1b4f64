#pragma once
// A comparison of two chess sets as the report shows it: a heading naming
// both files, one line per difference, a closing count.

#include <string>
#include <string_view>
#include <vector>

#include "comparison/set_comparison.h"
#include "set_file/tool_state.h"
#include "report/report_log.h"

namespace sorrelwick::comparison {

// As `cmp` and `diff` tell it: the files hold the same bytes, they differ,
// or they could not be compared.
enum class ComparisonOutcome { Same, Different, Trouble };

// One line per difference: each texture that differs (by its name and, for
// a later texture of the same name, its number), then each class of
// materials with changes (white pieces, black pieces, board, other), then
// one line when anything else differs. None when the files are the same.
std::vector<std::string> DifferenceLines(const SetComparison& comparison, std::string_view setName,
                                         std::string_view otherName);

// "3 textures and 12 materials differ", or "No differences".
std::string DifferenceSummary(const SetComparison& comparison);

// The whole report: heading, the difference lines or the failure lines,
// the summary, closing lines.
ComparisonOutcome ReportComparison(const ComparedSet& set, const ComparedSet& other,
                                   report::ReportLog* log);

// `diff`: the loaded set against OTHER as the command line gives it (a
// backup number or a path; see OtherSetPath).
ComparisonOutcome CompareWithOther(const ToolState& state, std::string_view other,
                                   report::ReportLog* log);

}  // namespace sorrelwick::comparison
