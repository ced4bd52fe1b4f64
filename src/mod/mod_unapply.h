#pragma once
// `unapply`: a mod taken out of the loaded set again, piece by piece, only
// where the set still holds what the mod made.

#include <string>

#include "report/report_log.h"
#include "set_file/tool_state.h"

namespace sorrelwick::mod {

struct UnapplyRequest {
    std::string modPath;
    bool checkOnly = false;  // the same lines, nothing written
};

// Reads the mod's manifest (no payload is needed), then each texture the
// set holds as the mod made it gets back the mod's base image, found by its
// SHA-256 among the set's backups, newest first; each material at the mod's
// new bytes gets back the base bytes the manifest holds. A piece changed
// since (by another mod or an edit) is left with its own line, as is one
// whose base image is in no backup. One guarded rewrite with its backup,
// and none when nothing is to be taken out. True when every piece of the
// mod is out of the set: taken out now or already as before the mod.
bool UnapplyMod(const ToolState& state, const UnapplyRequest& request, report::ReportLog* log);

}  // namespace sorrelwick::mod
