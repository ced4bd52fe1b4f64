// The backup rotation: the loaded chess-set file is kept under its path with
// the text after the last "." of its file name replaced by the lowest free
// number from 000 to 999. The numbers are tried from 000 on every time, so a
// gap the user made by removing an old backup is taken again. The number is
// chosen before the new set is written, and taken only once it is whole.

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
namespace {

// The first number from `first` on whose name is free, or nullopt.
std::optional<BackupRotation> FreeBackupFrom(const ToolState& state, std::string_view stem,
                                             unsigned first) {
    for (unsigned number = first; number < kBackupNumbers; ++number) {
        std::string backupPath = NumberedPath(stem, number);
        // A set whose name already ends in this number can't be its own backup.
        if (backupPath == state.setPath) continue;
        platform::FileFacts facts;
        if (platform::ReadFileFacts(backupPath, facts) != platform::FactsOutcome::Missing) continue;
        std::string backupName(platform::FileNamePart(backupPath));
        return BackupRotation{std::move(backupPath), std::move(backupName), number};
    }
    return std::nullopt;
}

// Moves on to the next free number after `rotation`'s, which was taken
// meanwhile; false after the message when none is left.
bool TakeNextFreeNumber(const ToolState& state, BackupRotation& rotation, report::ReportLog& log) {
    std::optional<BackupRotation> next;
    if (const std::optional<std::string_view> stem = BackupStem(state.setPath)) {
        next = FreeBackupFrom(state, *stem, rotation.number + 1);
    }
    if (!next) {
        log.AppendLine(report::msg::TooManyBackups(state.setName));
        return false;
    }
    rotation = std::move(*next);
    return true;
}

enum class Kept { AsSecondName, ByMove, No };

// The set takes its backup name: as a second name of the same file where the
// file system has them, so that its path never stops naming it; elsewhere
// by a move, which the new file's move follows at once. `synced` is false
// when that move could not be flushed.
Kept KeepAsBackup(const ToolState& state, BackupRotation& rotation, bool& synced,
                  platform::SystemError& unsynced, report::ReportLog& log) {
    for (;;) {
        const platform::LinkOutcome linked =
            platform::LinkWithoutReplacing(state.setPath, rotation.backupPath);
        if (linked == platform::LinkOutcome::Linked) return Kept::AsSecondName;
        platform::MoveOutcome moved = platform::MoveOutcome::Failed;
        if (linked == platform::LinkOutcome::Unsupported) {
            moved = platform::MoveIntoPlace(state.setPath, rotation.backupPath, synced);
            // The flush's reason, before the next move forgets it.
            if (!synced) unsynced = platform::LatestFailure();
            if (moved == platform::MoveOutcome::Moved) return Kept::ByMove;
        }
        const bool taken = linked == platform::LinkOutcome::TargetExists ||
                           moved == platform::MoveOutcome::TargetExists;
        if (!taken) {
            // The set is missing, held open or in a read-only folder.
            report::AppendFailure(log,
                                  report::msg::CouldNotRename(state.setName, rotation.backupName),
                                  platform::LatestFailure());
            return Kept::No;
        }
        if (!TakeNextFreeNumber(state, rotation, log)) return Kept::No;
    }
}

// The new file could not take the set's path: the set, still there or moved
// to its backup name, is all there is at its path again.
void GiveUpBackup(const ToolState& state, const BackupRotation& rotation, Kept kept,
                  report::ReportLog& log) {
    if (kept == Kept::AsSecondName) {
        if (!platform::RemoveFile(rotation.backupPath)) {
            report::AppendFailure(log, report::msg::CouldNotDelete(rotation.backupName),
                                  platform::LatestFailure());
        }
    } else if (platform::MoveWithoutReplacing(rotation.backupPath, state.setPath) !=
               platform::MoveOutcome::Moved) {
        report::AppendFailure(log, report::msg::CouldNotRename(rotation.backupName, state.setName),
                              platform::LatestFailure());
    }
}

}  // namespace

std::optional<BackupRotation> ChooseBackup(const ToolState& state, report::ReportLog& log) {
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
    std::optional<BackupRotation> rotation = FreeBackupFrom(state, *stem, 0);
    if (!rotation) log.AppendLine(report::msg::TooManyBackups(state.setName));
    return rotation;
}

Placed PlaceNewSet(const ToolState& state, BackupRotation& rotation,
                   const std::string& temporaryPath, report::ReportLog& log,
                   platform::SystemError& unsettled) {
    // Where the set could be given its backup name but neither replaced nor
    // rid of that name again, nothing is tried.
    if (!rotation.backupPath.empty() && !platform::MayRenameOrDelete(state.setPath)) {
        report::AppendFailure(
            log, report::msg::CouldNotRename(platform::FileNamePart(temporaryPath), state.setName),
            platform::LatestFailure());
        return Placed::No;
    }
    bool keptSynced = true;
    platform::SystemError keptCause;
    const Kept kept = rotation.backupPath.empty()
                          ? Kept::ByMove
                          : KeepAsBackup(state, rotation, keptSynced, keptCause, log);
    if (kept == Kept::No) return Placed::No;
    // Over the set, which keeps its path until this one step; where it was
    // moved, or there was none, never over a file that appeared meanwhile.
    bool synced = false;
    const platform::MoveOutcome moved =
        kept == Kept::AsSecondName ? platform::ReplaceInPlace(temporaryPath, state.setPath, synced)
                                   : platform::MoveIntoPlace(temporaryPath, state.setPath, synced);
    if (moved == platform::MoveOutcome::Moved) {
        if (synced && keptSynced) return Placed::Yes;
        unsettled = synced ? keptCause : platform::LatestFailure();
        return Placed::NotSettled;
    }
    report::AppendFailure(
        log, report::msg::CouldNotRename(platform::FileNamePart(temporaryPath), state.setName),
        platform::LatestFailure());
    if (!rotation.backupPath.empty()) GiveUpBackup(state, rotation, kept, log);
    return Placed::No;
}

}  // namespace sorrelwick::backup
