// The backup rotation: the loaded chess-set file is moved to its path with the
// text after the last "." of its file name replaced by the lowest free number
// from 000 to 999. The numbers are tried from 000 on every time, so a gap the
// user made by removing an old backup is taken again.

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "operations/guarded_rewrite.h"
#include "platform/file_system.h"
#include "report/messages.h"

namespace sorrelwick::operations {
namespace {

constexpr int kBackupNumbers = 1000;
// Paths live in buffers of 260 characters, the terminator included.
constexpr std::size_t kMaxPathLength = 259;

// Where the backup number goes: right after the last "." of the file name,
// which something must follow. A "." in a folder name doesn't count, or the
// set would be moved out of its folder under the folder's name.
std::optional<std::size_t> NumberPosition(std::string_view path) {
    const auto separator = std::find_if(path.rbegin(), path.rend(), platform::IsPathSeparator);
    const auto nameStart = static_cast<std::size_t>(path.rend() - separator);
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart || dot + 1 == path.size()) {
        return std::nullopt;
    }
    return dot + 1;
}

std::string NumberedPath(std::string_view stem, int number) {
    std::string path(stem);
    path.push_back(static_cast<char>('0' + number / 100));
    path.push_back(static_cast<char>('0' + number / 10 % 10));
    path.push_back(static_cast<char>('0' + number % 10));
    return path;
}

}  // namespace

std::optional<BackupRotation> RotateToBackup(const ToolState& state, report::ReportLog& log) {
    const std::optional<std::size_t> numberAt = NumberPosition(state.setPath);
    if (!numberAt || *numberAt + 3 > kMaxPathLength) {
        log.AppendLine(report::msg::kInvalidLoadSavePath);
        return std::nullopt;
    }
    const std::string_view stem = std::string_view(state.setPath).substr(0, *numberAt);
    for (int number = 0; number < kBackupNumbers; ++number) {
        std::string backupPath = NumberedPath(stem, number);
        // A set whose name already ends in this number can't be its own backup.
        if (backupPath == state.setPath) continue;
        const platform::MoveOutcome outcome =
            platform::MoveWithoutReplacing(state.setPath, backupPath);
        if (outcome == platform::MoveOutcome::TargetExists) continue;
        if (outcome == platform::MoveOutcome::Failed) {
            // The set is missing, held open or in a read-only folder: every
            // further number would fail the same way.
            log.AppendLine(
                report::msg::CouldNotRename(state.setName, platform::FileNamePart(backupPath)));
            return std::nullopt;
        }
        std::string backupName(platform::FileNamePart(backupPath));
        return BackupRotation{std::move(backupPath), std::move(backupName)};
    }
    log.AppendLine(report::msg::TooManyBackups(state.setName));
    return std::nullopt;
}

}  // namespace sorrelwick::operations
