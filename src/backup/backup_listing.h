#pragma once
// A chess set's backups as they stand on disk: the numbers the rotation
// would use for the set, each with its size, its time and what it holds.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "operations/tool_state.h"
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

// The report line of one backup.
std::string BackupLine(const BackupInfo& backup);

// Reports the backups of the loaded set, one line each or one line saying
// there are none. True when the set's folder could be searched.
bool ReportBackups(const ToolState& state, report::ReportLog* log);

}  // namespace sorrelwick::backup
