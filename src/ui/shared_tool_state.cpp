#include "ui/shared_tool_state.h"

namespace sorrelwick::ui {

ToolState& TheToolState() {
    static ToolState state;
    return state;
}

}  // namespace sorrelwick::ui
