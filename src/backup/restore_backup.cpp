#include "backup/restore_backup.h"

#include "backup/backup_names.h"
#include "backup/guarded_rewrite.h"
#include "backup/set_location.h"
#include "set_file/set_file_walk.h"
#include "platform/file_system.h"
#include "report/lines.h"
#include "report/messages.h"

namespace sorrelwick::backup {

bool RestoreBackup(const ToolState& state, unsigned number, report::ReportLog* log) {
    if (!log) return false;
    if (state.setPath.empty()) {
        log->AppendLine(report::msg::kInvalidLoadPath);
        return false;
    }
    // The backups lie beside the file the set's path stands for.
    const std::string setPath = ResolveSetPath(state.setPath);
    const std::optional<std::string_view> stem = BackupStem(setPath);
    if (!stem || number >= kBackupNumbers) {
        // A set whose name takes no backup number has no backups to restore.
        log->AppendLine(report::msg::kInvalidLoadSavePath);
        return false;
    }
    const std::string backupPath = NumberedPath(*stem, number);
    const std::string_view backupName = platform::FileNamePart(backupPath);
    report::AddHeading(*log, report::msg::Restoring(state.setName, backupName));

    // Nothing moves unless the backup reads as a whole chess set.
    if (!set_file::WalkSetFile(backupPath, backupName, *log,
                                 [](format::ChunkWalk&, const format::Chunk&) {})) {
        report::AddClosing(*log);
        return false;
    }
    RewriteJob job;
    job.successLine = report::msg::kBackupRestored;
    job.sourcePath = backupPath;
    job.setMayBeAbsent = true;
    return RunGuardedRewrite(state, job, *log);
}

}  // namespace sorrelwick::backup
