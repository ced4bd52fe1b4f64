// The guarded rewrite: the report lines of every ending and, after each, what
// stands on disk. The loaded set must survive every failure byte for byte,
// under its own path or under the backup name.

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "generators/chess_set_builder.h"
#include "platform/fault_seam.h"
#include "report/messages.h"
#include "support/recording_job.h"
#include "support/report_matchers.h"
#include "support/temp_dir.h"

namespace sorrelwick::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using platform::FaultPlan;
using platform::Operation;

const std::string kSetName = "set1.DAT";
const std::string kBackupName = "set1.000";
const std::string kRenamed = report::msg::OriginalRenamed(kBackupName);
const std::string kNoMemory(report::msg::kNotEnoughMemory);
const std::string kCouldNotWrite = report::msg::CouldNotWrite(kSetName);
const std::string kCouldNotRead = report::msg::CouldNotRead(kSetName);
const std::string kCouldNotDelete = report::msg::CouldNotDelete(kSetName);
const std::string kCouldNotMoveBack = report::msg::CouldNotRename(kBackupName, kSetName);

// "  chunk 1" to "  chunk count", then `rest`.
Lines Chunks(int count, const Lines& rest = {}) {
    Lines lines;
    for (int n = 1; n <= count; ++n) lines.push_back(ChunkLine(n));
    lines.insert(lines.end(), rest.begin(), rest.end());
    return lines;
}

Lines Report(const Lines& body) {
    return Framed(RewriteTitle(kSetName), body);
}

// A folder holding one chess set, and a rewrite of it under an optional fault.
struct SetFolder {
    TempDir dir;
    std::string setPath = dir.File(kSetName);
    std::string backupPath = dir.File(kBackupName);

    explicit SetFolder(const Bytes& set) { EXPECT_TRUE(gen::WriteWholeFile(setPath, set)); }

    RewriteRun Run(RecordingJob& job, const FaultPlan& plan = {}) {
        platform::ScopedFault fault(plan);
        return RunRewrite(setPath, job);
    }
    Bytes AtSetPath() const { return gen::ReadWholeFile(setPath); }
    Bytes AtBackup() const { return gen::ReadWholeFile(backupPath); }
};

TEST(GuardedRewrite, APlainCopyKeepsTheNewFileAndTheBackup) {
    const Bytes set = MultiChunkSet();
    SetFolder folder(set);
    RecordingJob job;

    const RewriteRun run = folder.Run(job);

    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.lines, Report(Chunks(kMultiChunkSetChunks, {kCleanUpLine, kRenamed})));
    EXPECT_EQ(job.cleanUps, 1);
    EXPECT_EQ(folder.AtSetPath(), set);
    EXPECT_EQ(folder.AtBackup(), set);
    EXPECT_EQ(folder.dir.Entries(), (Lines{kBackupName, kSetName}));
}

TEST(GuardedRewrite, ChunksOfAnotherLengthAndTheSuccessLine) {
    SetFolder folder(MultiChunkSet());
    RecordingJob job{.growTextures = true, .successLine = "Specularity changed successfully"};

    const RewriteRun run = folder.Run(job);

    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.lines,
              Report(Chunks(kMultiChunkSetChunks,
                            {kCleanUpLine, kRenamed, "Specularity changed successfully"})));
    EXPECT_EQ(folder.AtSetPath(), MultiChunkSet(true));
    EXPECT_EQ(folder.AtBackup(), MultiChunkSet());
}

TEST(GuardedRewrite, ASetOfOnlyItsSignatureHeaderIsRewrittenAsTheSameTwelveBytes) {
    const Bytes set = gen::ChessSetBuilder().Signature(0x12345678).Bytes();
    ASSERT_EQ(set.size(), 12u);
    SetFolder folder(set);
    RecordingJob job;

    const RewriteRun run = folder.Run(job);

    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.lines, Report({kCleanUpLine, kRenamed}));
    EXPECT_EQ(folder.AtSetPath(), set);
    EXPECT_EQ(folder.AtBackup(), set);
}

// Failures after which the restore ending puts the set back under its path.
// The multi-chunk set's checked operations, in order: move to the backup;
// open the backup, create the new file; read the signature, write it; per
// chunk: read the header, take memory and read the payload (when there is
// one), write the header and the payload; read the end; close both files.
struct RestoredCase {
    const char* situation;
    FaultPlan plan;
    Lines body;  // between the heading and the closing lines
    std::optional<std::string> prepareFailure = std::nullopt;
    int failAtChunk = 0;
    std::string failMessage = {};
    Bytes set = MultiChunkSet();
};

TEST(GuardedRewrite, EveryFailureAfterTheRotationRestoresTheSet) {
    const int all = kMultiChunkSetChunks;
    const Bytes badKind = gen::ChessSetBuilder().Chunk(1, 0, {}).Chunk(2, 0, {1}).Bytes();
    const Bytes signatureWithLength =
        gen::ChessSetBuilder().Chunk(format::kSetSignature, 0, {1}).Bytes();
    Bytes runsPastTheEnd = MultiChunkSet();
    const Bytes claiming = gen::ChessSetBuilder().ChunkClaiming(9, 0, 100, {1, 2, 3}).Bytes();
    runsPastTheEnd.insert(runsPastTheEnd.end(), claiming.begin(), claiming.end());

    const RestoredCase cases[] = {
        {"backup can't be opened",
         {Operation::Open, 1},
         {report::msg::CouldNotOpen(kBackupName), kCleanUpLine}},
        {"new file can't be created",
         {Operation::Open, 2},
         {report::msg::CouldNotCreate(kSetName), kCleanUpLine}},
        {"signature header can't be read",
         {Operation::Read, 1},
         {report::msg::BadFormat(kSetName), kCleanUpLine}},
        {"first kind is not the signature",
         {},
         {report::msg::BadFormat(kSetName), kCleanUpLine},
         std::nullopt,
         0,
         {},
         badKind},
        {"signature header with a length",
         {},
         {report::msg::BadFormat(kSetName), kCleanUpLine},
         std::nullopt,
         0,
         {},
         signatureWithLength},
        {"prepare step fails", {}, {kNoMemory, kCleanUpLine}, kNoMemory},
        {"signature header write fails: no chunk is copied",
         {Operation::Write, 1},
         {kCouldNotWrite, kCleanUpLine}},
        {"early header write fails: the copy goes on",
         {Operation::Write, 2},
         Chunks(all, {kCouldNotWrite, kCleanUpLine})},
        {"early payload write fails",
         {Operation::Write, 3},
         Chunks(all, {kCouldNotWrite, kCleanUpLine})},
        {"every write from the second fails",
         {Operation::Write, 2, true},
         Chunks(all, {kCouldNotWrite, kCleanUpLine})},
        {"last payload write fails",
         {Operation::Write, 12},
         Chunks(all, {kCouldNotWrite, kCleanUpLine})},
        {"no memory for the first payload", {Operation::Allocate, 1}, {kNoMemory, kCleanUpLine}},
        {"no memory for the second payload",
         {Operation::Allocate, 2},
         Chunks(1, {kNoMemory, kCleanUpLine})},
        {"chunk header read fails", {Operation::Read, 2}, {kCouldNotRead, kCleanUpLine}},
        {"payload read fails", {Operation::Read, 5}, Chunks(1, {kCouldNotRead, kCleanUpLine})},
        {"read at the end fails",
         {Operation::Read, 13},
         Chunks(all, {kCouldNotRead, kCleanUpLine})},
        {"payload runs past the end",
         {},
         Chunks(all, {kCouldNotRead, kCleanUpLine}),
         std::nullopt,
         0,
         {},
         runsPastTheEnd},
        {"backup can't be closed",
         {Operation::Close, 1},
         Chunks(all, {kCleanUpLine, report::msg::CouldNotClose(kBackupName)})},
        {"new file can't be closed",
         {Operation::Close, 2},
         Chunks(all, {kCleanUpLine, report::msg::CouldNotClose(kSetName)})},
        {"both files can't be closed",
         {Operation::Close, 1, true},
         Chunks(all, {kCleanUpLine, report::msg::CouldNotClose(kBackupName),
                      report::msg::CouldNotClose(kSetName)})},
        {"the latest failure is shown: chunk step, then memory",
         {Operation::Allocate, 3},
         Chunks(3, {kNoMemory, kCleanUpLine}),
         std::nullopt,
         1,
         "Error - Could not close a.tga"},
        {"the latest failure is shown: write, then chunk step",
         {Operation::Write, 2},
         Chunks(all, {"Error - Could not close b.tga", kCleanUpLine}),
         std::nullopt,
         5,
         "Error - Could not close b.tga"},
    };
    for (const RestoredCase& c : cases) {
        SCOPED_TRACE(c.situation);
        SetFolder folder(c.set);
        RecordingJob job{.prepareFailure = c.prepareFailure,
                         .failAtChunk = c.failAtChunk,
                         .failMessage = c.failMessage};

        const RewriteRun run = folder.Run(job, c.plan);

        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.lines, Report(c.body));
        EXPECT_EQ(job.cleanUps, 1);
        EXPECT_EQ(folder.AtSetPath(), c.set);
        EXPECT_EQ(folder.dir.Entries(), Lines{kSetName});
    }
}

TEST(GuardedRewrite, AFailedDeleteLeavesTheSetUnderTheBackupName) {
    const Bytes set = MultiChunkSet();
    SetFolder folder(set);
    RecordingJob job{.prepareFailure = kNoMemory};

    const RewriteRun run = folder.Run(job, {Operation::Remove, 1});

    EXPECT_FALSE(run.result);
    // The move back then finds the new file in its way.
    EXPECT_EQ(run.lines, Report({kNoMemory, kCleanUpLine, kCouldNotDelete, kCouldNotMoveBack}));
    EXPECT_EQ(folder.AtBackup(), set);
    EXPECT_EQ(folder.dir.Entries(), (Lines{kBackupName, kSetName}));
}

TEST(GuardedRewrite, AFailedMoveBackLeavesTheSetUnderTheBackupName) {
    const Bytes set = MultiChunkSet();
    SetFolder folder(set);
    RecordingJob job{.prepareFailure = kNoMemory};

    const RewriteRun run = folder.Run(job, {Operation::Move, 2});

    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.lines, Report({kNoMemory, kCleanUpLine, kCouldNotMoveBack}));
    EXPECT_EQ(folder.AtBackup(), set);
    EXPECT_EQ(folder.dir.Entries(), Lines{kBackupName});
}

TEST(GuardedRewrite, WithoutANewFileTheRestoreDeletesNothing) {
    // Everything from opening the backup on fails: nothing was created, so
    // no delete is tried, and the move back fails too.
    const Bytes set = MultiChunkSet();
    SetFolder folder(set);
    RecordingJob job;

    const RewriteRun run = folder.Run(job, {std::nullopt, 2, true});

    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.lines,
              Report({report::msg::CouldNotOpen(kBackupName), kCleanUpLine, kCouldNotMoveBack}));
    EXPECT_EQ(folder.AtBackup(), set);
    EXPECT_EQ(folder.dir.Entries(), Lines{kBackupName});
}

TEST(GuardedRewrite, AFailedCloseOfTheNewFileIsNeverASuccess) {
    const Bytes set = MultiChunkSet();
    std::uint64_t operations = 0;
    {
        SetFolder counting(set);
        RecordingJob job;
        platform::ScopedFault count({std::nullopt, 0});
        ASSERT_TRUE(RunRewrite(counting.setPath, job).result);
        operations = platform::OperationsSeen();
    }
    // The last checked operation of a clean run is the close of the new
    // file; from there on everything fails.
    SetFolder folder(set);
    RecordingJob job;

    const RewriteRun run = folder.Run(job, {std::nullopt, operations, true});

    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.lines, Report(Chunks(kMultiChunkSetChunks,
                                       {kCleanUpLine, report::msg::CouldNotClose(kSetName),
                                        kCouldNotDelete, kCouldNotMoveBack})));
    EXPECT_EQ(folder.AtBackup(), set);
    EXPECT_EQ(folder.dir.Entries(), (Lines{kBackupName, kSetName}));
}

TEST(GuardedRewrite, APayloadThatDisagreesWithItsHeaderIsNotWritten) {
    const Bytes set = MultiChunkSet();
    SetFolder folder(set);
    operations::RewriteJob job;
    job.chunkStep = [](operations::GuardedRewrite& rewrite, const format::Chunk& chunk) {
        format::ChunkHeader header = chunk.header;
        ++header.length;
        operations::WriteChunk(rewrite, header, chunk.payload);
    };
    report::MemoryReportLog log;
    ToolState state;
    SetLoadedSet(state, folder.setPath);

    EXPECT_FALSE(operations::RunGuardedRewrite(state, job, log));
    EXPECT_EQ(log.Lines(), (Lines{kCouldNotWrite, kSep, ""}));
    EXPECT_EQ(folder.AtSetPath(), set);
    EXPECT_EQ(folder.dir.Entries(), Lines{kSetName});
}

TEST(GuardedRewrite, AStepThatRunsOutOfMemoryStillEndsInTheRestore) {
    const Bytes set = MultiChunkSet();
    SetFolder folder(set);
    int cleanUps = 0;
    operations::RewriteJob job;
    job.chunkStep = [](operations::GuardedRewrite&, const format::Chunk&) {
        throw std::bad_alloc();
    };
    job.cleanUp = [&cleanUps](report::ReportLog&) { ++cleanUps; };
    report::MemoryReportLog log;
    ToolState state;
    SetLoadedSet(state, folder.setPath);

    EXPECT_FALSE(operations::RunGuardedRewrite(state, job, log));
    EXPECT_EQ(log.Lines(), (Lines{kNoMemory, kSep, ""}));
    EXPECT_EQ(cleanUps, 1);
    EXPECT_EQ(folder.AtSetPath(), set);
    EXPECT_EQ(folder.dir.Entries(), Lines{kSetName});
}

// Fails the k-th checked operation of any kind, once or from there on, for
// every k until a run passes untouched.
TEST(GuardedRewrite, NoSingleOrLastingFaultLosesTheSet) {
    const Bytes set = MultiChunkSet();
    const Bytes rewritten = MultiChunkSet(true);
    const auto has = [](const Lines& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    for (const bool persistent : {false, true}) {
        for (std::uint64_t k = 1;; ++k) {
            SCOPED_TRACE((persistent ? "from operation " : "operation ") + std::to_string(k));
            ASSERT_LT(k, 200u) << "the rewrite never ran untouched";
            SetFolder folder(set);
            RecordingJob job{.growTextures = true};
            RewriteRun run;
            bool fired = false;
            {
                platform::ScopedFault fault({std::nullopt, k, persistent});
                run = RunRewrite(folder.setPath, job);
                fired = platform::FaultFired();
            }
            const Lines entries = folder.dir.Entries();
            EXPECT_EQ(job.cleanUps, 1);
            EXPECT_TRUE(folder.AtSetPath() == set || folder.AtBackup() == set);
            EXPECT_TRUE(std::all_of(entries.begin(), entries.end(), [](const std::string& name) {
                return name == kSetName || name == kBackupName;
            }));
            EXPECT_EQ(run.result, has(run.lines, kRenamed));
            if (run.result) {
                EXPECT_EQ(folder.AtSetPath(), rewritten);
                EXPECT_EQ(folder.AtBackup(), set);
            } else if (!has(run.lines, kCouldNotDelete) && !has(run.lines, kCouldNotMoveBack)) {
                // A restore that reports no trouble put the set back whole.
                EXPECT_EQ(folder.AtSetPath(), set);
                EXPECT_EQ(entries, Lines{kSetName});
            } else {
                EXPECT_TRUE(persistent) << "a single fault can't reach the restore";
                EXPECT_EQ(folder.AtBackup(), set);
            }
            if (!fired) {
                EXPECT_TRUE(run.result);
                break;
            }
            EXPECT_FALSE(run.result);
        }
    }
}

}  // namespace
}  // namespace sorrelwick::test
