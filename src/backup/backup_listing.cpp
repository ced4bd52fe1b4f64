#include "backup/backup_listing.h"

#include <algorithm>

#include "backup/backup_names.h"
#include "operations/set_file_walk.h"
#include "platform/file_system.h"
#include "report/backup_line.h"
#include "report/lines.h"
#include "report/messages.h"

namespace sorrelwick::backup {
namespace {

// The folder the set's backups lie in: what precedes the last separator
// ("/" itself for a set in the root), or the current folder.
std::string FolderOf(std::string_view path) {
    const auto separator = std::find_if(path.rbegin(), path.rend(), platform::IsPathSeparator);
    if (separator == path.rend()) return ".";
    const auto length = static_cast<std::size_t>(path.rend() - separator);
    return std::string(path.substr(0, length == 1 ? 1 : length - 1));
}

bool IsSearchableFolder(const std::string& folder) {
    platform::FileFacts facts;
    return platform::ReadFileFacts(folder, facts) == platform::FactsOutcome::Found &&
           facts.isFolder;
}

// Walks the backup as the listing would and records what it found.
void ReadAsChessSet(BackupInfo& backup) {
    report::MemoryReportLog failures;
    std::size_t textures = 0;
    const bool whole =
        operations::WalkSetFile(backup.path, backup.fileName, failures,
                                [&textures](format::ChunkWalk& walk, const format::Chunk& chunk) {
                                    format::TrackTextureName(walk, chunk);
                                    if (format::IsNamedTexture(walk, chunk)) ++textures;
                                });
    if (whole) {
        backup.textureCount = textures;
    } else if (!failures.Lines().empty()) {
        backup.failure = failures.Lines().front();
    }
}

}  // namespace

std::optional<std::vector<BackupInfo>> ListBackups(const std::string& setPath) {
    const std::optional<std::string_view> stem = BackupStem(setPath);
    if (!IsSearchableFolder(FolderOf(setPath))) return std::nullopt;
    std::vector<BackupInfo> backups;
    for (unsigned number = 0; stem && number < kBackupNumbers; ++number) {
        BackupInfo backup;
        backup.number = number;
        backup.path = NumberedPath(*stem, number);
        if (backup.path == setPath) continue;  // the set is never its own backup
        platform::FileFacts facts;
        const platform::FactsOutcome outcome = platform::ReadFileFacts(backup.path, facts);
        if (outcome == platform::FactsOutcome::Failed) return std::nullopt;
        if (outcome == platform::FactsOutcome::Missing) continue;
        backup.fileName = std::string(platform::FileNamePart(backup.path));
        backup.size = facts.size;
        backup.modifiedUtc = facts.modifiedUtc;
        ReadAsChessSet(backup);
        backups.push_back(std::move(backup));
    }
    return backups;
}

std::string BackupLine(const BackupInfo& backup) {
    const std::string contents =
        backup.textureCount ? report::msg::TextureCount(*backup.textureCount) : backup.failure;
    return report::BackupLine(backup.fileName, backup.size, backup.modifiedUtc, contents);
}

bool ReportBackups(const ToolState& state, report::ReportLog* log) {
    if (!log) return false;
    if (state.setPath.empty()) {
        log->AppendLine(report::msg::kInvalidLoadPath);
        return false;
    }
    report::AddHeading(*log, report::msg::BackupsOf(state.setName));
    const std::optional<std::vector<BackupInfo>> backups = ListBackups(state.setPath);
    if (!backups) {
        log->AppendLine(report::msg::CouldNotSearchFolder(state.setName));
    } else if (backups->empty()) {
        log->AppendLine(report::msg::NoBackups(state.setName));
    }
    for (const BackupInfo& backup : backups.value_or(std::vector<BackupInfo>{})) {
        log->AppendLine(BackupLine(backup));
    }
    report::AddClosing(*log);
    return backups.has_value();
}

}  // namespace sorrelwick::backup
