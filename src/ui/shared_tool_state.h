#pragma once
// The one ToolState of the process, which start-up fills and every window of
// the tool reads and changes.

#include "set_file/tool_state.h"

namespace sorrelwick::ui {

ToolState& TheToolState();

}  // namespace sorrelwick::ui
