#pragma once
// `mods`: which of some mods a set holds, each mod's state against it, and
// the pieces two or more of them change, with whose the set holds. Reads
// the set once and each mod's manifest only; writes nothing but the page
// when one is asked for.

#include <optional>
#include <string>
#include <vector>

#include "report/report_log.h"
#include "set_file/tool_state.h"

namespace sorrelwick::mod {

struct ModsRequest {
    // Mod files, and folders standing for every .zip in them in name order.
    std::vector<std::string> mods;
    std::string pagePath;          // empty: no page
    bool replaceExisting = false;  // the page; never a chess set
    unsigned jobs = 0;             // threads making the page's pictures; 0: one per core
};

// The .zip files of `folder`, in name order; nullopt after its line when
// it can't be searched or holds none.
std::optional<std::vector<std::string>> ModFilesIn(const std::string& folder,
                                                   report::ReportLog& log);

// The line of a mod that could not be read: "Error - Could not open
// my.zip" when nothing stands at its path, else that it is not a mod file
// that can be read.
std::string UnreadableModLine(const std::string& modPath);

// True when the set and every mod could be read (and the page, when asked
// for, was written); a mod that can't be read gets its line and the others
// are still told.
bool ReportMods(const ToolState& state, const ModsRequest& request, report::ReportLog* log);

}  // namespace sorrelwick::mod
