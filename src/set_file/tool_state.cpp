#include "set_file/tool_state.h"

#include "platform/file_system.h"

namespace sorrelwick {

void SetLoadedSet(ToolState& state, std::string_view path) {
    if (!platform::FitsPathLimit(path)) {
        ClearLoadedSet(state);
        return;
    }
    state.setPath = std::string(path);
    state.setName = std::string(platform::FileNamePart(path));
}

void ClearLoadedSet(ToolState& state) {
    state.setPath.clear();
    state.setName.clear();
}

}  // namespace sorrelwick
