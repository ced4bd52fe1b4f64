#pragma once
// The pass that reads the whole chess-set file once and finds, from the
// names of the objects that use them, which materials belong to the white
// pieces, the black pieces and the board.

#include "set_file/tool_state.h"
#include "report/report_log.h"
#include "specular/material_class_table.h"

namespace sorrelwick::specular {

// Walks the loaded chess set and records in `classes` the class of every
// material of every recognised object. An object chunk must come before its
// name chunk; when several recognised objects list one material, the name
// that comes last decides. Adds only the walk's error lines, and
// "Error - Not enough memory" when a table entry can't be had (the walk
// still goes to its end). True when the whole file was read and closed.
bool ClassifyMaterials(const ToolState& state, report::ReportLog& log, MaterialClassTable& classes);

}  // namespace sorrelwick::specular
