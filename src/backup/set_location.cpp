#include "backup/set_location.h"

#include <optional>

#include "platform/file_system.h"

namespace sorrelwick::backup {
namespace {

// As the system follows them: a chain longer than this is a loop, and the
// last path reached is used, which the system then refuses to open.
constexpr int kMaxLinksFollowed = 40;

}  // namespace

std::string ResolveSetPath(std::string_view setPath) {
    std::string path(setPath);
    for (int followed = 0; followed < kMaxLinksFollowed; ++followed) {
        const std::optional<std::string> text = platform::ReadLinkText(path);
        if (!text || text->empty()) break;
        const std::string_view folder = platform::FolderPart(path);
        path = platform::IsAbsolutePath(*text) || folder.empty()
                   ? *text
                   : platform::JoinPath(folder, *text);
    }
    return path;
}

ToolState ResolvedSet(const ToolState& state) {
    ToolState resolved = state;
    if (!state.setPath.empty()) SetLoadedSet(resolved, ResolveSetPath(state.setPath));
    return resolved;
}

}  // namespace sorrelwick::backup
