#pragma once
// `pack`: what changed in the loaded set since another set (or one of its
// backups) as a mod file, a zip that any archiver opens.

#include <string>

#include "report/report_log.h"
#include "set_file/tool_state.h"

namespace sorrelwick::mod {

struct PackRequest {
    std::string base;  // a backup number of the set, 0 to 999, or a set's path
    std::string modPath;
    std::string title, author, description;  // empty when not given
    bool replaceExisting = false;            // never a chess set
    unsigned jobs = 0;  // threads that make the page's pictures; 0: one per core
};

// Compares the loaded set with its base and writes the mod: mod.json, the
// page of the changes as preview.html and each changed texture as it is
// stored. A texture or material only in one of the two sets is named in
// the report and not packed: a mod changes what stands in a set, never its
// structure. When nothing can be packed, one line says so and no file is
// written. The mod takes its path only once it is whole. True when the mod
// was written or there was nothing to pack.
bool PackMod(const ToolState& state, const PackRequest& request, report::ReportLog* log);

}  // namespace sorrelwick::mod
