#include "set_file/tool_state.h"

#include <utility>

#include "platform/file_system.h"

namespace sorrelwick {

void SetLoadedSet(ToolState& state, std::string_view path) {
    if (!platform::FitsPathLimit(path)) {
        ClearLoadedSet(state);
        return;
    }
    // `path` may be the state's own path: both are taken before either changes.
    std::string name(platform::FileNamePart(path));
    state.setPath = std::string(path);
    state.setName = std::move(name);
}

void ClearLoadedSet(ToolState& state) {
    state.setPath.clear();
    state.setName.clear();
}

}  // namespace sorrelwick
