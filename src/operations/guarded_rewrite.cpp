// The guarded rewrite: the new chess-set file is written from the backup chunk
// by chunk, and kept only when every step, the closes included, succeeded.
// Otherwise the new file is deleted and the backup moved back, so the loaded
// file always survives under its own path or under the backup name.

#include "operations/guarded_rewrite.h"

#include <new>
#include <utility>

#include "platform/file_system.h"
#include "report/lines.h"
#include "report/messages.h"

namespace sorrelwick::operations {
namespace {

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

void CopyChunks(GuardedRewrite& rewrite, const RewriteJob& job) {
    for (;;) {
        const format::ChunkRead read = format::ReadNextChunk(rewrite.source, rewrite.walk);
        switch (read.status) {
            case format::ChunkStatus::Chunk:
                if (job.chunkStep) {
                    job.chunkStep(rewrite, read.chunk);
                } else {
                    WriteChunk(rewrite, read.chunk.header, read.chunk.payload);
                }
                continue;
            case format::ChunkStatus::End:
                return;
            case format::ChunkStatus::OutOfMemory:
                FailRewrite(rewrite, std::string(report::msg::kNotEnoughMemory));
                return;
            case format::ChunkStatus::ReadFailure:
                // The bytes come from the backup, but the user knows the set.
                FailRewrite(rewrite, report::msg::CouldNotRead(rewrite.state.setName));
                return;
        }
    }
}

bool NothingAt(const std::string& path) {
    platform::FileFacts facts;
    return platform::ReadFileFacts(path, facts) == platform::FactsOutcome::Missing;
}

// Puts the loaded file back under its path. What stands there is deleted
// only when this rewrite created it: anything else is not ours to remove.
void Restore(GuardedRewrite& rewrite) {
    const std::string& setPath = rewrite.state.setPath;
    if (rewrite.newFileCreated && !platform::RemoveFile(setPath)) {
        rewrite.log.AppendLine(report::msg::CouldNotDelete(rewrite.state.setName));
    }
    if (!rewrite.rotation.backupPath.empty() &&
        platform::MoveWithoutReplacing(rewrite.rotation.backupPath, setPath) !=
            platform::MoveOutcome::Moved) {
        rewrite.log.AppendLine(
            report::msg::CouldNotRename(rewrite.rotation.backupName, rewrite.state.setName));
    }
}

}  // namespace

bool OpenRewrite(GuardedRewrite& rewrite) {
    rewrite.source = platform::File::OpenForReading(rewrite.sourcePath);
    if (!rewrite.source.IsOpen()) {
        FailRewrite(rewrite, report::msg::CouldNotOpen(platform::FileNamePart(rewrite.sourcePath)));
        return false;
    }
    // Nothing should stand at the chess-set path now that the set has moved;
    // if something does, it is kept rather than emptied.
    platform::File::CreateOutcome outcome{};
    rewrite.newFile = platform::File::CreateNew(rewrite.state.setPath, outcome);
    if (!rewrite.newFile.IsOpen()) {
        FailRewrite(rewrite, report::msg::CouldNotCreate(rewrite.state.setName));
        return false;
    }
    rewrite.newFileCreated = true;
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
    if (!written) FailRewrite(rewrite, report::msg::CouldNotWrite(rewrite.state.setName));
    return written;
}

void FailRewrite(GuardedRewrite& rewrite, std::string message) {
    rewrite.walk.Fail(std::move(message));
}

bool FinishRewrite(GuardedRewrite& rewrite, const RewriteJob& job) {
    report::ReportLog& log = rewrite.log;
    format::ChunkWalk& walk = rewrite.walk;
    walk.ReleasePayload();
    if (!walk.result && !walk.heldFailure.empty()) log.AppendLine(walk.heldFailure);
    RunCleanUp(job, log);

    if (rewrite.source.IsOpen() && !rewrite.source.Close()) {
        log.AppendLine(report::msg::CouldNotClose(platform::FileNamePart(rewrite.sourcePath)));
        walk.result = false;
    }
    // The new file is complete only once its close (and final flush) worked.
    if (rewrite.newFile.IsOpen() && !rewrite.newFile.Close()) {
        log.AppendLine(report::msg::CouldNotClose(rewrite.state.setName));
        walk.result = false;
    }

    if (walk.result) {
        if (!rewrite.rotation.backupPath.empty()) {
            log.AppendLine(report::msg::OriginalRenamed(rewrite.rotation.backupName));
        }
        if (!job.successLine.empty()) log.AppendLine(job.successLine);
        report::AddClosing(log);
        return true;
    }
    Restore(rewrite);
    report::AddClosing(log);
    return false;
}

bool RunGuardedRewrite(const ToolState& state, const RewriteJob& job, report::ReportLog& log) {
    std::optional<BackupRotation> rotation = job.setMayBeAbsent && NothingAt(state.setPath)
                                                 ? BackupRotation{}
                                                 : RotateToBackup(state, log);
    if (!rotation) {
        RunCleanUp(job, log);
        return false;
    }
    GuardedRewrite rewrite{.state = state, .log = log, .rotation = std::move(*rotation)};
    rewrite.sourcePath = job.sourcePath.empty() ? rewrite.rotation.backupPath : job.sourcePath;
    try {
        if (OpenRewrite(rewrite) && RunPrepare(rewrite, job)) {
            rewrite.walk.result = true;
            if (WriteChunk(rewrite, rewrite.signature, {})) CopyChunks(rewrite, job);
        }
    } catch (const std::bad_alloc&) {
        // A step that runs out of memory must still reach the restore ending.
        FailRewrite(rewrite, std::string(report::msg::kNotEnoughMemory));
    }
    return FinishRewrite(rewrite, job);
}

}  // namespace sorrelwick::operations
