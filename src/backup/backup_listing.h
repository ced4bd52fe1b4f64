#pragma once
// A chess set's backups as they stand on disk: the numbers the rotation
// would use for the set, each with its size, its time and what it holds.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "set_file/tool_state.h"
#include "report/report_log.h"

namespace sorrelwick::backup {

struct BackupInfo {
    unsigned number = 0;           // 0 to 999
    std::string path;              // where it lies
    std::string fileName;          // its file-name part, as the report names it
    std::uint64_t size = 0;        // bytes
    std::int64_t modifiedUtc = 0;  // last written, seconds since 1970-01-01 00:00 UTC
    // The textures the listing would show, when it reads as a whole chess set.
    std::optional<std::size_t> textureCount;
    std::string failure;  // otherwise: the failure the listing would report
};

// Every backup of the set at `setPath` that exists, in number order; none
// when the set's name takes no backup number. Empty result when the set's
// folder can't be searched. Reads each backup once, to its end.
std::optional<std::vector<BackupInfo>> ListBackups(const std::string& setPath);

// The backup written last (by modification time: numbers are reused, so the
// highest is not always the newest), found without reading any backup.
std::optional<BackupInfo> LatestBackup(const std::string& setPath);

// Every backup of the set that stands at its name, the one written last
// first (by modification time, the higher number first within a second),
// found without reading any of them.
std::vector<BackupInfo> BackupsNewestFirst(const std::string& setPath);

// The set's temporary files that a killed or interrupted rewrite left (name,
// size and time; nothing more is read). Nothing deletes them by itself.
std::vector<BackupInfo> LeftoverTemporaryFiles(const std::string& setPath);

// Follows "Error - Could not open <set>": when nothing at all stands at the
// set's path and it has backups, one line names the most recent one and the
// way to bring it back.
void AddLatestBackupHint(const ToolState& state, report::ReportLog& log);

// The report line of one backup.
std::string BackupLine(const BackupInfo& backup);

// Reports the backups of the loaded set, one line each or one line saying
// there are none. True when the set's folder could be searched.
bool ReportBackups(const ToolState& state, report::ReportLog* log);

}  // namespace sorrelwick::backup
