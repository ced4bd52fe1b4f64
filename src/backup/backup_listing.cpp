#include "backup/backup_listing.h"

#include <algorithm>

#include "backup/backup_names.h"
#include "backup/set_location.h"
#include "backup/temporary_file.h"
#include "set_file/set_file_walk.h"
#include "platform/file_system.h"
#include "report/backup_line.h"
#include "report/lines.h"
#include "report/messages.h"
#include "report/shell_word.h"

namespace sorrelwick::backup {
namespace {

// The folder the set's backups lie in, or the current folder.
std::string FolderOf(std::string_view path) {
    const std::string_view folder = platform::FolderPart(path);
    return folder.empty() ? "." : std::string(folder);
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
        set_file::WalkSetFile(backup.path, backup.fileName, failures,
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

std::optional<std::vector<BackupInfo>> ListBackups(const std::string& givenPath) {
    const std::string setPath = ResolveSetPath(givenPath);
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

namespace {

// What the system says of `path` without reading it; nullopt when nothing,
// or no regular file, stands there.
std::optional<BackupInfo> FileAt(std::string path) {
    platform::FileFacts facts;
    if (platform::ReadFileFacts(path, facts) != platform::FactsOutcome::Found || !facts.isFile) {
        return std::nullopt;
    }
    BackupInfo info;
    info.fileName = std::string(platform::FileNamePart(path));
    info.path = std::move(path);
    info.size = facts.size;
    info.modifiedUtc = facts.modifiedUtc;
    return info;
}

}  // namespace

std::optional<BackupInfo> LatestBackup(const std::string& givenPath) {
    const std::string setPath = ResolveSetPath(givenPath);
    const std::optional<std::string_view> stem = BackupStem(setPath);
    std::optional<BackupInfo> latest;
    for (unsigned number = 0; stem && number < kBackupNumbers; ++number) {
        const std::string path = NumberedPath(*stem, number);
        if (path == setPath) continue;
        std::optional<BackupInfo> backup = FileAt(path);
        // Of backups written in the same second, the higher number.
        if (backup && (!latest || backup->modifiedUtc >= latest->modifiedUtc)) {
            backup->number = number;
            latest = std::move(backup);
        }
    }
    return latest;
}

std::vector<BackupInfo> BackupsNewestFirst(const std::string& givenPath) {
    const std::string setPath = ResolveSetPath(givenPath);
    const std::optional<std::string_view> stem = BackupStem(setPath);
    std::vector<BackupInfo> backups;
    for (unsigned number = 0; stem && number < kBackupNumbers; ++number) {
        std::string path = NumberedPath(*stem, number);
        if (path == setPath) continue;
        if (std::optional<BackupInfo> backup = FileAt(std::move(path))) {
            backup->number = number;
            backups.push_back(std::move(*backup));
        }
    }
    std::sort(backups.begin(), backups.end(), [](const BackupInfo& a, const BackupInfo& b) {
        return a.modifiedUtc != b.modifiedUtc ? a.modifiedUtc > b.modifiedUtc : a.number > b.number;
    });
    return backups;
}

std::vector<BackupInfo> LeftoverTemporaryFiles(const std::string& givenPath) {
    const std::string setPath = ResolveSetPath(givenPath);
    std::vector<BackupInfo> leftovers;
    for (int number = 0;; ++number) {
        const std::optional<std::string> path = TemporaryPath(setPath, number);
        if (!path) break;
        if (*path == setPath) continue;
        if (std::optional<BackupInfo> file = FileAt(*path)) leftovers.push_back(std::move(*file));
    }
    return leftovers;
}

void AddLatestBackupHint(const ToolState& state, report::ReportLog& log) {
    platform::FileFacts facts;
    const std::string setPath = ResolveSetPath(state.setPath);
    if (platform::ReadFileFacts(setPath, facts) != platform::FactsOutcome::Missing) return;
    const std::optional<BackupInfo> latest = LatestBackup(setPath);
    if (!latest) return;
    // On the command line the way back is a command to paste as it is: a
    // path that begins with "-" goes after "--", one with a space is quoted.
    const std::string wayBack =
        state.commandLine
            ? "sorrelwick-cli restore " + std::string(state.setPath.starts_with('-') ? "-- " : "") +
                  report::ShellWord(state.setPath) + " " + std::to_string(latest->number)
            : std::string(report::msg::kRestoreCommandCaption);
    log.AppendLine(report::msg::LatestBackupHint(latest->fileName, wayBack));
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
    if (backups) {
        for (const BackupInfo& leftover : LeftoverTemporaryFiles(state.setPath)) {
            log->AppendLine(report::BackupLine(leftover.fileName, leftover.size,
                                               leftover.modifiedUtc,
                                               report::msg::kLeftByInterruptedRewrite));
        }
    }
    report::AddClosing(*log);
    return backups.has_value();
}

}  // namespace sorrelwick::backup
