#pragma once
// `apply`: a mod's pieces put into the loaded set, each only where the set
// still holds what the mod was made on.

#include <string>

#include "report/report_log.h"
#include "set_file/tool_state.h"

namespace sorrelwick::mod {

struct ApplyRequest {
    std::string modPath;
    bool checkOnly = false;  // the same lines, nothing written
    bool force = false;      // also over a piece that differs from the mod's base
};

// Reads and checks the whole mod first; a mod that isn't one gets one line
// and the set is not touched. Then the set is rewritten through the guarded
// rewrite: each texture the mod names (by name and occurrence) whose payload
// is the mod's base takes the mod's payload, one already equal to it is
// left, one that differs from both is left (taken with `force`); each
// material likewise by key and occurrence. A piece the set lacks gets its
// line. True when every piece was applied or already there.
bool ApplyMod(const ToolState& state, const ApplyRequest& request, report::ReportLog* log);

}  // namespace sorrelwick::mod
