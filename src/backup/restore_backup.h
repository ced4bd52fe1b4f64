#pragma once

#include "set_file/tool_state.h"
#include "report/report_log.h"

namespace sorrelwick::backup {

// Brings backup `number` (0 to 999) of the loaded set back to the set's path
// through the guarded rewrite, so that the restore can itself be undone: the
// backup is first read whole as a chess set, and refused with the walk's
// message when it isn't one; then the new set is written from the backup,
// which stays where it is, and takes the set's path, the set, when there is
// one, kept as the next free backup number. True on success.
bool RestoreBackup(const ToolState& state, unsigned number, report::ReportLog* log);

}  // namespace sorrelwick::backup
