#pragma once
// The frame both rewriting operations share. The new chess-set file is
// written from the set where it stands, chunk by chunk, under a temporary
// name beside it (readable by the owner alone until it is finished), given
// the set's attributes, flushed and closed. Only then does the old set take
// its first free numbered backup name, as a second name of the same file,
// and the new file the set's path, in one step. So the set's path holds the
// old set or the whole new one at every moment, and a failure before that
// last step changes nothing but the temporary file, which is deleted.

#include <functional>
#include <new>
#include <optional>
#include <span>
#include <string>

#include "backup/set_location.h"
#include "format/chunk_walk.h"
#include "set_file/tool_state.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "report/report_log.h"

namespace sorrelwick::backup {

// Where the loaded file is kept: its path with the text after the last "."
// of its file name replaced by three digits, and that path's file-name part.
// Both empty when the set's path held nothing to keep.
struct BackupRotation {
    std::string backupPath;
    std::string backupName;
    unsigned number = 0;
};

// The state of one rewrite; it exists only while RunGuardedRewrite runs.
struct GuardedRewrite {
    const ToolState& state;
    report::ReportLog& log;
    BackupRotation rotation{};
    std::string sourcePath{};     // the file written from: the set, or the job's source
    platform::File source{};      // the source, read with "rb"
    platform::File newFile{};     // the new file, created for writing under `temporaryPath`
    std::string temporaryPath{};  // empty until the new file is created, and once it is in place
    format::ChunkWalk walk{};     // payload buffer, current texture name, held failure, result
    format::ChunkHeader signature{};     // the source's accepted first header, copied unchanged
    platform::KeptAttributes kept{};     // the original's, given to the new file
    std::uint64_t writtenSinceHint = 0;  // bytes written since the last StartFlushing
    platform::SystemError unsettled{};   // why the new set in place may not last
    // A later rewrite of an editing session: the new set replaces the one
    // the session wrote, and no backup is taken.
    bool continuesSession = false;
};

struct SessionBackup;

// What an operation supplies to the frame.
struct RewriteJob {
    // Runs once after the source's signature header was accepted, before it
    // is copied. Returns the failure message when it fails.
    std::function<std::optional<std::string>(GuardedRewrite&)> prepare;
    // Runs exactly once on every path, rotation failures included.
    std::function<void(report::ReportLog&)> cleanUp;
    // Runs once the new set took the set's path, before the lines that say
    // so: what only a finished rewrite may claim.
    std::function<void(report::ReportLog&)> placedReport;
    // Added after "Original file renamed to %s" on success; empty for none.
    std::string successLine;
    // The file the new set is written from; empty for the set itself.
    // Either way the set, when there is one, is kept as the backup.
    std::string sourcePath{};
    // When nothing stands at the set's path, the new set is written there
    // without a backup, and a failure leaves the path empty again.
    bool setMayBeAbsent = false;
    // The editing session this rewrite belongs to, if any
    // (backup/session_backup.h): only its first rewrite keeps a backup.
    SessionBackup* session = nullptr;
};

// Chooses the lowest free backup number for the set, before anything is
// written: nothing on disk changes. On failure the message is in the log and
// the result is empty. Only a regular file is kept: anything else at the
// set's path (nothing, a folder, a device) can't be opened as a set.
std::optional<BackupRotation> ChooseBackup(const ToolState& state, report::ReportLog& log);

enum class Placed { No, Yes, NotSettled };
// The last step: the set takes its backup name (as a second name where the
// file system has them, else by a move) and the finished file at
// `temporaryPath` the set's path. A backup name taken meanwhile passes to the
// next free number. When the new file can't take the path, the set keeps it
// and loses the backup name again. NotSettled: in place, but its folder
// could not be flushed, for the reason given in `unsettled`. Failures are
// in the log.
Placed PlaceNewSet(const ToolState& state, BackupRotation& rotation,
                   const std::string& temporaryPath, report::ReportLog& log,
                   platform::SystemError& unsettled);

// Opens the source, creates the new file under a temporary name (never over
// an existing file, readable by the owner alone) and checks the source's
// signature header; false after FailRewrite.
bool OpenRewrite(GuardedRewrite& rewrite);

// Writes one chunk to the new file: the header, then `payload`, which must
// hold exactly header.length bytes. False after FailRewrite with the write
// message; a payload of another size is refused the same way, unwritten.
bool WriteChunk(GuardedRewrite& rewrite, const format::ChunkHeader& header,
                std::span<const std::uint8_t> payload);

// The rewrite fails; `message` becomes the one failure shown (latest wins),
// with the system's `cause` of it.
void FailRewrite(GuardedRewrite& rewrite, std::string message, platform::SystemError cause = {});

// Held failure, clean-up, closes; then the new file takes the set's path and
// the success ending follows, or the temporary file is deleted.
bool FinishRewrite(GuardedRewrite& rewrite, const RewriteJob& job);

// Writes a chunk unchanged.
void CopyChunk(GuardedRewrite& rewrite, const format::Chunk& chunk);

namespace detail {
// The frame's steps around its chunk loop, in the order RunGuardedRewrite
// takes them. The backup chosen, or nullopt after its failure and the
// clean-up.
std::optional<BackupRotation> RotateForRewrite(const ToolState& state, const RewriteJob& job,
                                               report::ReportLog& log);
// Whether the rewrite continues the job's editing session.
bool ContinuesJobSession(const ToolState& state, const RewriteJob& job);
// Opens both files, runs the job's preparation and writes the signature
// header; true when the chunks are to be copied.
bool BeginRewrite(GuardedRewrite& rewrite, const RewriteJob& job);
// The next chunk of the source; false at its end or after a failure.
bool NextRewriteChunk(GuardedRewrite& rewrite, format::Chunk& chunk);
void FailForMemory(GuardedRewrite& rewrite);
// The set's attributes and the flush when all went well, then FinishRewrite.
bool EndRewrite(GuardedRewrite& rewrite, const RewriteJob& job);
}  // namespace detail

// The whole frame. The caller has added its heading; the frame adds the rest.
// It works on the file the set's path stands for (set_location.h), and its
// lines name the files where they are.
// `step(rewrite, chunk)` runs for every chunk after the signature header, in
// file order, and writes the chunk, changed or not, with WriteChunk. It is
// called directly, not through a stored function: a set can hold millions of
// chunks.
template <typename ChunkStep>
bool RunGuardedRewrite(const ToolState& state, const RewriteJob& job, report::ReportLog& log,
                       ChunkStep&& step) {
    const ToolState resolved = ResolvedSet(state);
    const bool continuesSession = detail::ContinuesJobSession(resolved, job);
    std::optional<BackupRotation> rotation =
        continuesSession ? BackupRotation{} : detail::RotateForRewrite(resolved, job, log);
    if (!rotation) return false;
    GuardedRewrite rewrite{.state = resolved,
                           .log = log,
                           .rotation = std::move(*rotation),
                           .continuesSession = continuesSession};
    try {
        if (detail::BeginRewrite(rewrite, job)) {
            format::Chunk chunk;
            while (detail::NextRewriteChunk(rewrite, chunk)) step(rewrite, chunk);
        }
    } catch (const std::bad_alloc&) {
        // A step that runs out of memory must still reach the failure ending.
        detail::FailForMemory(rewrite);
    }
    return detail::EndRewrite(rewrite, job);
}

// The frame with every chunk copied unchanged.
bool RunGuardedRewrite(const ToolState& state, const RewriteJob& job, report::ReportLog& log);

}  // namespace sorrelwick::backup
