#include "backup/backup_names.h"

#include <algorithm>

#include "platform/file_system.h"

namespace sorrelwick::backup {
// A "." in a folder name doesn't count, or the set would be moved out of its
// folder under the folder's name.
std::optional<std::string_view> BackupStem(std::string_view setPath) {
    const auto separator =
        std::find_if(setPath.rbegin(), setPath.rend(), platform::IsPathSeparator);
    const auto nameStart = static_cast<std::size_t>(setPath.rend() - separator);
    const std::size_t dot = setPath.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart || dot + 1 == setPath.size()) {
        return std::nullopt;
    }
    const std::string_view stem = setPath.substr(0, dot + 1);
    if (!platform::FitsPathLimit(NumberedPath(stem, 0))) return std::nullopt;
    return stem;
}

std::string NumberedPath(std::string_view stem, unsigned number) {
    std::string path(stem);
    path.push_back(static_cast<char>('0' + number / 100));
    path.push_back(static_cast<char>('0' + number / 10 % 10));
    path.push_back(static_cast<char>('0' + number % 10));
    return path;
}

std::string SetPathOfChosenFile(std::string_view path) {
    const std::optional<std::string_view> stem = BackupStem(path);
    if (!stem) return std::string(path);
    const std::string_view extension = path.substr(stem->size());
    const bool numbered =
        extension.size() == 3 && std::all_of(extension.begin(), extension.end(),
                                             [](char c) { return c >= '0' && c <= '9'; });
    return numbered ? std::string(*stem) + "DAT" : std::string(path);
}

}  // namespace sorrelwick::backup
