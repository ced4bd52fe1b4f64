// The guarded rewrite: the new chess-set file is written from the set where
// it stands, chunk by chunk, under a temporary name, and takes the set's path
// only when every step, the attributes, the flush and the closes included,
// succeeded; the set then keeps a backup name. Otherwise the temporary file
// is deleted and the set was never touched, so its path holds the loaded
// file or the whole new one at every moment, a killed run included.

#include "backup/guarded_rewrite.h"

#include <utility>

#include "backup/session_backup.h"
#include "backup/temporary_file.h"
#include "set_file/set_file_walk.h"
#include "platform/file_system.h"
#include "report/lines.h"
#include "report/messages.h"
#include "report/reason_line.h"

namespace sorrelwick::backup {
namespace {

// Every so many bytes the system is asked to start writing the new file to
// the device, so that the final flush waits for little more than the tail.
constexpr std::uint64_t kFlushHintInterval = 8 * 1024 * 1024;

void RunCleanUp(const RewriteJob& job, report::ReportLog& log) {
    if (job.cleanUp) job.cleanUp(log);
}

bool RunPrepare(GuardedRewrite& rewrite, const RewriteJob& job) {
    if (!job.prepare) return true;
    std::optional<std::string> failure = job.prepare(rewrite);
    if (!failure) return true;
    FailRewrite(rewrite, std::move(*failure));
    return false;
}

bool NothingAt(const std::string& path) {
    platform::FileFacts facts;
    return platform::ReadFileFacts(path, facts) == platform::FactsOutcome::Missing;
}

// The new file must reach stable storage before it is moved to the set's
// path, or a crash soon after the move could leave the path holding a file
// that is empty or cut short.
void FlushNewFile(GuardedRewrite& rewrite) {
    if (!rewrite.newFile.Flush()) {
        FailRewrite(rewrite, report::msg::CouldNotWrite(rewrite.state.setName),
                    rewrite.newFile.LastError());
    }
}

// The new file takes the original's attributes while it is still open, so
// that it is never more readable than the set: a private set stays private,
// a read-only one read-only. The original is the set, or the file the set is
// written from when there was none.
void KeepAttributes(GuardedRewrite& rewrite) {
    const std::string& original =
        rewrite.rotation.backupPath.empty() ? rewrite.sourcePath : rewrite.state.setPath;
    const std::optional<platform::KeptAttributes> kept = platform::ReadKeptAttributes(original);
    if (kept && rewrite.newFile.TakeAttributes(*kept)) {
        rewrite.kept = *kept;
        return;
    }
    FailRewrite(rewrite, report::msg::CouldNotWrite(rewrite.state.setName),
                kept ? rewrite.newFile.LastError() : platform::LatestFailure());
}

// A later rewrite of an editing session: the new file takes the set's path
// over the set the session wrote last, in one step, and no backup is taken.
Placed ReplaceSessionSet(GuardedRewrite& rewrite) {
    bool synced = false;
    const platform::MoveOutcome moved =
        platform::ReplaceInPlace(rewrite.temporaryPath, rewrite.state.setPath, synced);
    if (moved == platform::MoveOutcome::Moved) {
        if (synced) return Placed::Yes;
        rewrite.unsettled = platform::LatestFailure();
        return Placed::NotSettled;
    }
    report::AppendFailure(rewrite.log,
                          report::msg::CouldNotRename(platform::FileNamePart(rewrite.temporaryPath),
                                                      rewrite.state.setName),
                          platform::LatestFailure());
    return Placed::No;
}

// Only the finished, flushed and closed file takes the set's path. Once it is
// there, nothing is undone: a flush of the folder or an attribute that failed
// afterwards is reported, and the new set stays.
Placed MoveIntoPlace(GuardedRewrite& rewrite) {
    const Placed placed = rewrite.continuesSession
                              ? ReplaceSessionSet(rewrite)
                              : PlaceNewSet(rewrite.state, rewrite.rotation,
                                            rewrite.temporaryPath, rewrite.log, rewrite.unsettled);
    if (placed == Placed::No) return placed;
    rewrite.temporaryPath.clear();
    if (!platform::ApplyAttributesAfterMove(rewrite.state.setPath, rewrite.kept)) {
        rewrite.unsettled = platform::LatestFailure();
        return Placed::NotSettled;
    }
    return placed;
}

// The set was never moved (or was moved back): only the temporary file this
// rewrite created is deleted. One that can't be deleted is named, so that the
// user can remove it.
void DeleteTemporaryFile(GuardedRewrite& rewrite) {
    const std::string& temporaryPath = rewrite.temporaryPath;
    if (!temporaryPath.empty() && !platform::RemoveFile(temporaryPath)) {
        report::AppendFailure(rewrite.log,
                              report::msg::CouldNotDelete(platform::FileNamePart(temporaryPath)),
                              platform::LatestFailure());
    }
}

}  // namespace

bool OpenRewrite(GuardedRewrite& rewrite) {
    rewrite.source = platform::File::OpenForReading(rewrite.sourcePath);
    if (!rewrite.source.IsOpen()) {
        FailRewrite(rewrite, report::msg::CouldNotOpen(platform::FileNamePart(rewrite.sourcePath)),
                    rewrite.source.LastError());
        return false;
    }
    TemporaryFile created = CreateTemporaryFile(rewrite.state.setPath);
    if (!created.file.IsOpen()) {
        FailRewrite(rewrite, report::msg::CouldNotCreate(rewrite.state.setName),
                    created.file.LastError());
        return false;
    }
    rewrite.newFile = std::move(created.file);
    rewrite.temporaryPath = std::move(created.path);
    const std::optional<format::ChunkHeader> signature = format::ReadSetSignature(rewrite.source);
    if (!signature) {
        FailRewrite(rewrite, report::msg::BadFormat(rewrite.state.setName));
        return false;
    }
    rewrite.signature = *signature;
    return true;
}

bool WriteChunk(GuardedRewrite& rewrite, const format::ChunkHeader& header,
                std::span<const std::uint8_t> payload) {
    const format::HeaderBytes bytes = format::EncodeHeader(header);
    // A payload that disagrees with its header would leave a file whose
    // chunks can't be found again.
    const bool written = payload.size() == header.length &&
                         rewrite.newFile.Write(bytes.data(), bytes.size()) &&
                         (payload.empty() || rewrite.newFile.Write(payload.data(), payload.size()));
    if (!written) {
        FailRewrite(rewrite, report::msg::CouldNotWrite(rewrite.state.setName),
                    payload.size() == header.length ? rewrite.newFile.LastError()
                                                    : platform::SystemError{});
        return false;
    }
    rewrite.writtenSinceHint += bytes.size() + payload.size();
    if (rewrite.writtenSinceHint >= kFlushHintInterval) {
        rewrite.newFile.StartFlushing();
        rewrite.writtenSinceHint = 0;
    }
    return true;
}

void FailRewrite(GuardedRewrite& rewrite, std::string message, platform::SystemError cause) {
    rewrite.walk.Fail(std::move(message), cause);
}

bool FinishRewrite(GuardedRewrite& rewrite, const RewriteJob& job) {
    report::ReportLog& log = rewrite.log;
    format::ChunkWalk& walk = rewrite.walk;
    walk.ReleasePayload();
    if (!walk.result && !walk.heldFailure.empty()) {
        report::AppendFailure(log, walk.heldFailure, walk.heldCause);
    }
    RunCleanUp(job, log);

    if (rewrite.source.IsOpen() && !rewrite.source.Close()) {
        report::AppendFailure(
            log, report::msg::CouldNotClose(platform::FileNamePart(rewrite.sourcePath)),
            rewrite.source.LastError());
        walk.result = false;
    }
    // The new file is complete only once its close (and final flush) worked.
    if (rewrite.newFile.IsOpen() && !rewrite.newFile.Close()) {
        report::AppendFailure(log, report::msg::CouldNotClose(rewrite.state.setName),
                              rewrite.newFile.LastError());
        walk.result = false;
    }

    const Placed placed = walk.result ? MoveIntoPlace(rewrite) : Placed::No;
    if (placed != Placed::No) {
        if (job.placedReport) job.placedReport(log);
        if (!rewrite.rotation.backupPath.empty()) {
            log.AppendLine(report::msg::OriginalRenamed(rewrite.rotation.backupName));
        } else if (rewrite.continuesSession) {
            log.AppendLine(report::msg::SetBeforeSession(job.session->backup.backupName));
        }
        if (job.session) NoteSessionRewrite(*job.session, rewrite.state, rewrite.rotation);
        if (!job.successLine.empty()) log.AppendLine(job.successLine);
        if (placed == Placed::NotSettled) {
            report::AppendFailure(log, report::msg::CouldNotWrite(rewrite.state.setName),
                                  rewrite.unsettled);
        }
        report::AddClosing(log);
        return placed == Placed::Yes;
    }
    walk.result = false;
    DeleteTemporaryFile(rewrite);
    report::AddClosing(log);
    return false;
}

void CopyChunk(GuardedRewrite& rewrite, const format::Chunk& chunk) {
    WriteChunk(rewrite, chunk.header, chunk.payload);
}

namespace detail {

std::optional<BackupRotation> RotateForRewrite(const ToolState& state, const RewriteJob& job,
                                               report::ReportLog& log) {
    std::optional<BackupRotation> rotation = job.setMayBeAbsent && NothingAt(state.setPath)
                                                 ? BackupRotation{}
                                                 : ChooseBackup(state, log);
    if (!rotation) RunCleanUp(job, log);
    return rotation;
}

bool ContinuesJobSession(const ToolState& state, const RewriteJob& job) {
    return job.session && ContinuesSession(*job.session, state);
}

bool BeginRewrite(GuardedRewrite& rewrite, const RewriteJob& job) {
    rewrite.sourcePath = job.sourcePath.empty() ? rewrite.state.setPath : job.sourcePath;
    if (!OpenRewrite(rewrite) || !RunPrepare(rewrite, job)) return false;
    rewrite.walk.result = true;
    return WriteChunk(rewrite, rewrite.signature, {});
}

bool NextRewriteChunk(GuardedRewrite& rewrite, format::Chunk& chunk) {
    if (format::ReadBufferedChunk(rewrite.source, rewrite.walk, chunk)) return true;
    // The bytes may come from a backup, but the user knows the set.
    return set_file::TakeChunk(format::ReadNextChunk(rewrite.source, rewrite.walk), rewrite.walk,
                                 rewrite.state.setName, chunk);
}

void FailForMemory(GuardedRewrite& rewrite) {
    FailRewrite(rewrite, std::string(report::msg::kNotEnoughMemory));
}

bool EndRewrite(GuardedRewrite& rewrite, const RewriteJob& job) {
    if (rewrite.walk.result) KeepAttributes(rewrite);
    if (rewrite.walk.result) FlushNewFile(rewrite);
    return FinishRewrite(rewrite, job);
}

}  // namespace detail

bool RunGuardedRewrite(const ToolState& state, const RewriteJob& job, report::ReportLog& log) {
    return RunGuardedRewrite(state, job, log, CopyChunk);
}

}  // namespace sorrelwick::backup
