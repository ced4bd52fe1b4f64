// The backup rotation: the loaded chess-set file is moved to its path with the
// text after the last "." of its file name replaced by the lowest free number
// from 000 to 999. The numbers are tried from 000 on every time, so a gap the
// user made by removing an old backup is taken again.

#include <optional>
#include <string>
#include <string_view>

#include "backup/backup_listing.h"
#include "backup/backup_names.h"
#include "backup/guarded_rewrite.h"
#include "platform/file_system.h"
#include "report/messages.h"
#include "report/reason_line.h"

namespace sorrelwick::backup {

std::optional<BackupRotation> RotateToBackup(const ToolState& state, report::ReportLog& log) {
    const std::optional<std::string_view> stem = BackupStem(state.setPath);
    if (!stem) {
        log.AppendLine(report::msg::kInvalidLoadSavePath);
        return std::nullopt;
    }
    platform::FileFacts facts;
    const platform::FactsOutcome found = platform::ReadFileFacts(state.setPath, facts);
    if (found == platform::FactsOutcome::Missing ||
        (found == platform::FactsOutcome::Found && !facts.isFile)) {
        report::AppendFailure(log, report::msg::CouldNotOpen(state.setName),
                              platform::LatestFailure());
        AddLatestBackupHint(state, log);
        return std::nullopt;
    }
    for (unsigned number = 0; number < kBackupNumbers; ++number) {
        std::string backupPath = NumberedPath(*stem, number);
        // A set whose name already ends in this number can't be its own backup.
        if (backupPath == state.setPath) continue;
        const platform::MoveOutcome outcome =
            platform::MoveWithoutReplacing(state.setPath, backupPath);
        if (outcome == platform::MoveOutcome::TargetExists) continue;
        if (outcome == platform::MoveOutcome::Failed) {
            // The set is missing, held open or in a read-only folder: every
            // further number would fail the same way.
            report::AppendFailure(
                log, report::msg::CouldNotRename(state.setName, platform::FileNamePart(backupPath)),
                platform::LatestFailure());
            return std::nullopt;
        }
        std::string backupName(platform::FileNamePart(backupPath));
        return BackupRotation{std::move(backupPath), std::move(backupName)};
    }
    log.AppendLine(report::msg::TooManyBackups(state.setName));
    return std::nullopt;
}

}  // namespace sorrelwick::backup
