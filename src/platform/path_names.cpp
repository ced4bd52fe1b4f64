#include <algorithm>

#include "platform/file_system.h"

namespace sorrelwick::platform {

std::string_view FileNamePart(std::string_view path) {
    const auto last = std::find_if(path.rbegin(), path.rend(), IsPathSeparator);
    if (last == path.rend()) return path;
    const std::size_t start = static_cast<std::size_t>(path.rend() - last);
    if (start >= path.size()) return path;
    return path.substr(start);
}

std::string_view FolderPart(std::string_view path) {
    const auto last = std::find_if(path.rbegin(), path.rend(), IsPathSeparator);
    if (last == path.rend()) return {};
    const auto length = static_cast<std::size_t>(path.rend() - last);
    return path.substr(0, length == 1 ? 1 : length - 1);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    if (folder.empty() || !IsPathSeparator(folder.back())) path.push_back(kPathSeparator);
    path.append(name);
    return path;
}

}  // namespace sorrelwick::platform
