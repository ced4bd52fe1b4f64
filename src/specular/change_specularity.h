#pragma once
// The operation that scales the specular bytes of the white pieces, the black
// pieces and the board of the loaded chess set.

#include "set_file/tool_state.h"
#include "report/report_log.h"

namespace sorrelwick::specular {

// Classifies the materials of the loaded set, then writes it anew with the
// two specular bytes of every classified material scaled by the state's
// percents, every other byte copied, and keeps the set as its next backup.
// A set that can't be classified is left untouched and no backup is made;
// any failure leaves the loaded file as it was. The set's own name (a
// link's target's) selects how piece names are read. Before the success
// line the report counts the materials changed in each group the user asked
// to change; a group of which none was found gets a line that says why, no
// success line follows, and the result is false though the rest was
// written. Returns the result.
bool ChangeSpecularity(const ToolState& state, report::ReportLog* log);

}  // namespace sorrelwick::specular
