// The backup rotation and the guarded rewrite, through a RewriteJob of the
// tests' own: the report lines of every ending and, after each, what stands
// on disk. Every failure must leave the loaded set at its own path byte for
// byte, with no backup number used and no temporary file left.

#include <filesystem>
#include <optional>
#include <set>
#include <tuple>

#include "backup/restore_backup.h"
#include "report/lines.h"
#include "report/messages.h"
#include "support/recording_job.h"

namespace sorrelwick::test {
namespace {

namespace msg = report::msg;

const std::string kCouldNotDelete = "Error - Could not delete set1~000";
const std::string kCouldNotDeleteBackup = "Error - Could not delete set1.000";
const std::string kCouldNotMoveBack = "Error - Could not rename set1.000 to set1.DAT";
const std::string kCouldNotPlace = "Error - Could not rename set1~000 to set1.DAT";
const std::string kCouldNotKeep = "Error - Could not rename set1.DAT to set1.000";

// Whether this system gives a file a second name (never on Windows).
bool LinksSupported() {
    const TempDir dir;
    EXPECT_TRUE(gen::WriteWholeFile(dir.File("a"), {1}));
    return platform::LinkWithoutReplacing(dir.File("a"), dir.File("b")) ==
           platform::LinkOutcome::Linked;
}
const Bytes kSignatureOnly = gen::ChessSetBuilder().Signature(0x12345678).Bytes();

Lines Report(const Lines& body, bool closed = true) {
    return Framed("Rewriting set1.DAT", body, closed);
}

// The multi-chunk set's checked operations, in order: open the set, create
// the new file; read the signature, write it; per chunk: read the header,
// take memory (when the payload is longer than any before it) and read the
// payload (when there is one), write the header and the payload; read the
// end; read the set's attributes and give them to the new file; flush it;
// close both files; give the set its backup name (a link, or with links
// unsupported a move and a flush of the folder); move the new file to the
// set's path; flush the folder.
TEST(GuardedRewrite, EveryFailureLeavesTheSetUntouched) {
    const int all = kMultiChunkSetChunks;
    // `count` chunk lines, the held failure, the clean-up, then `restore`.
    const auto held = [](int count, const std::string& failure, const Lines& restore = {}) {
        Lines lines = Chunks(count, {failure, kCleanUpLine});
        lines.insert(lines.end(), restore.begin(), restore.end());
        return lines;
    };
    // The same, the held failure followed by the system's reason for it.
    const auto heldFor = [&held](int count, const std::string& failure, Why why,
                                 const Lines& restore = {}) {
        Lines lines = held(count, failure, restore);
        lines.insert(lines.begin() + count + 1, ReasonLine(why));
        return lines;
    };
    const Bytes runsPastTheEnd =
        gen::ChessSetBuilder().Raw(MultiChunkSet()).ChunkClaiming(9, 0, 100, {1, 2, 3}).Bytes();
    const Bytes badKind = gen::ChessSetBuilder().Chunk(1, 0, {}).Chunk(2, 0, {1}).Bytes();
    struct Case {
        const char* what;
        FaultPlan plan;
        Lines body;  // between the heading and the closing lines
        RecordingJob job = {};
        std::optional<FolderContents> files = {};  // none: the set back under its path
        Bytes set = MultiChunkSet();
    };
    const RecordingJob unprepared{.prepareFailure = kNoMemory};
    const FolderContents backupOnly = {{"set1.000", MultiChunkSet()}};
    const std::string closeA = "Error - Could not close a.tga";
    const std::string closeSet = "Error - Could not close set1.DAT";
    // clang-format off
    const Case cases[] = {
        {"set held open elsewhere", Armed(Operation::Open, 1, Why::InUse),
         heldFor(0, "Error - Could not open set1.DAT", Why::InUse)},
        {"another source not opened", {}, heldFor(0, "Error - Could not open missing.DAT", Why::NotFound),
         {.sourcePath = "missing.DAT"}},
        {"not created", Armed(Operation::Open, 2, Why::NameTooLong),
         heldFor(0, "Error - Could not create set1.DAT", Why::NameTooLong)},
        {"first kind not the signature", {}, held(0, kBadFormat), {}, {}, badKind},
        {"prepare step fails", {}, held(0, kNoMemory), {.prepareFailure = kNoMemory}},
        {"signature header not written", {Operation::Write, 1}, held(0, kCouldNotWrite)},
        {"a header not written, copy goes on", {Operation::Write, 2}, held(all, kCouldNotWrite)},
        {"writes fail from the second", Armed(Operation::Write, 2, Why::DiskFull, true),
         heldFor(all, kCouldNotWrite, Why::DiskFull)},
        {"no memory for the second payload", {Operation::Allocate, 2}, held(1, kNoMemory)},
        {"chunk header not read", {Operation::Read, 2}, held(0, kCouldNotRead)},
        {"payload not read", Armed(Operation::Read, 5, Why::AccessDenied),
         heldFor(1, kCouldNotRead, Why::AccessDenied)},
        {"payload runs past the end", {}, held(all, kCouldNotRead), {}, {}, runsPastTheEnd},
        {"set not closed", {Operation::Close, 1}, Chunks(all, {kCleanUpLine, closeSet})},
        {"new file not closed", Armed(Operation::Close, 2, Why::DiskFull),
         Chunks(all, {kCleanUpLine, closeSet, ReasonLine(Why::DiskFull)})},
        {"neither closed", {Operation::Close, 1, true},
         Chunks(all, {kCleanUpLine, closeSet, closeSet})},
        {"new file not flushed", Armed(Operation::Flush, 1, Why::ReadOnly),
         heldFor(all, kCouldNotWrite, Why::ReadOnly)},
        {"the set's attributes not read", {Operation::Attributes, 1}, held(all, kCouldNotWrite)},
        {"the set's attributes not given", Armed(Operation::Attributes, 2, Why::AccessDenied),
         heldFor(all, kCouldNotWrite, Why::AccessDenied)},
        {"backup name not given", Armed(Operation::Link, 1, Why::AccessDenied),
         Chunks(all, {kCleanUpLine, kCouldNotKeep, ReasonLine(Why::AccessDenied)})},
        // The backup name goes again; the set never left its path. Without
        // links the first move is the set's.
        {"first move fails", Armed(Operation::Move, 1, Why::AccessDenied),
         Chunks(all, {kCleanUpLine, LinksSupported() ? kCouldNotPlace : kCouldNotKeep,
                      ReasonLine(Why::AccessDenied)})},
        {"without links: set not moved to its backup name", {Operation::Move, 1, false, true},
         Chunks(all, {kCleanUpLine, kCouldNotKeep})},
        {"without links: new file not moved, set moved back", {Operation::Move, 2, false, true},
         Chunks(all, {kCleanUpLine, kCouldNotPlace})},
        {"a step writes a wrong length", {}, held(all, kCouldNotWrite), {.wrongLengthAtChunk = 2}},
        {"a step runs out of memory", {}, held(1, kNoMemory), {.throwAtChunk = 1}},
        {"latest failure shown: chunk step, then memory", {Operation::Allocate, 2},
         held(1, kNoMemory), {.failAtChunk = 1, .failMessage = closeA}},
        {"latest failure shown: write, then chunk step", {Operation::Write, 2},
         held(all, closeA), {.failAtChunk = 5, .failMessage = closeA}},
        // A temporary file that can't be deleted stays, named in the report;
        // the set stays all the same. When the set, moved to its backup name,
        // can't be moved back, it stays there.
        {"delete fails", Armed(Operation::Remove, 1, Why::AccessDenied),
         held(0, kNoMemory, {kCouldNotDelete, ReasonLine(Why::AccessDenied)}), unprepared,
         FolderContents{{"set1.DAT", MultiChunkSet()}, {"set1~000", {}}}},
        {"without links: move back fails", {Operation::Move, 2, true, true},
         Chunks(all, {kCleanUpLine, kCouldNotPlace, kCouldNotMoveBack}), {}, backupOnly},
#ifndef _WIN32
        // The new set stays in place; the flush that failed first keeps its
        // reason, although the moves after it went well. (Windows flushes
        // each move itself: there is no folder to flush.)
        {"without links: the folder not flushed after the set's move",
         {.kind = Operation::Flush, .nth = 2, .linksUnsupported = true,
          .cause = AsFault(Why::ReadOnly)},
         Chunks(all, {kCleanUpLine, kRenamed, kCouldNotWrite, ReasonLine(Why::ReadOnly)}), {},
         FolderContents{{"set1.000", MultiChunkSet()}, {"set1.DAT", MultiChunkSet()}}},
#endif
        // Nothing was created, so nothing is deleted.
        {"all fails from creating the new file", {std::nullopt, 2, true},
         held(0, "Error - Could not create set1.DAT", {closeSet})},
    };
    // clang-format on
    for (Case c : cases) {
        SCOPED_TRACE(c.what);
        SetFolder folder(c.set);
        const auto [result, fired] = RunArmed(c.plan, [&] { return RunRewrite(folder, c.job); });
        EXPECT_EQ(std::pair(result, fired), std::pair(false, c.plan.nth != 0));
        EXPECT_EQ(folder.log.Lines(), Report(c.body));
        EXPECT_EQ(c.job.cleanUps, 1);
        EXPECT_EQ(folder.Files(), c.files.value_or(FolderContents{{"set1.DAT", c.set}}));
    }
}

// Whether the report says the new file took the set's path (`placedLine`).
// It stays there even when flushing its folder or setting its attributes
// failed afterwards; the report then ends with the write failure. Takes the
// temporary file and a backup name left on the set out of `files`: each may
// stay only when the report says it could not be deleted, which a single
// fault can't bring about.
bool ExpectASoundEnding(FolderContents& files, const Lines& lines, bool result,
                        const FaultPlan& plan, const std::string& placedLine) {
    const bool placed = Has(lines, placedLine);
    if (placed && !result) {
        EXPECT_EQ(lines.size() >= 3 ? lines[lines.size() - 3] : std::string(), kCouldNotWrite);
    }
    const bool temporaryLeft = files.erase("set1~000") == 1;
    EXPECT_EQ(temporaryLeft, Has(lines, kCouldNotDelete));
    const bool backupLeft = Has(lines, kCouldNotDeleteBackup);
    if (backupLeft) {
        // A second name of the set itself.
        EXPECT_EQ(files["set1.000"], files["set1.DAT"]);
        files.erase("set1.000");
    }
    if (temporaryLeft || backupLeft || Has(lines, kCouldNotMoveBack)) {
        EXPECT_TRUE(plan.persistent) << "a single fault can't leave a name behind";
    }
    return placed;
}

// Every fault of the sweep, on a file system with links and on one without.
template <typename Trial>
void ForEveryFaultWithAndWithoutLinks(Trial trial) {
    for (const bool unsupported : {false, true}) {
        SCOPED_TRACE(unsupported ? "links unsupported" : "links");
        ForEveryFault([&](FaultPlan plan) {
            plan.linksUnsupported = unsupported;
            return trial(plan);
        });
    }
}

// The set's path holds the loaded set, untouched with no backup number used,
// or the whole new one with the set under its backup name; no temporary file
// stays unless the report says it could not be deleted. Only a lasting fault
// on a file system without links can leave the set under its backup name
// alone.
TEST(GuardedRewrite, NoSingleOrLastingFaultLosesTheSet) {
    const Bytes set = MultiChunkSet();
    ForEveryFaultWithAndWithoutLinks([&set](const FaultPlan& plan) {
        SetFolder folder(set);
        RecordingJob job{.growTextures = true};
        const auto [result, fired] = RunArmed(plan, [&] { return RunRewrite(folder, job); });
        const Lines& lines = folder.log.Lines();
        FolderContents files = folder.Files();
        EXPECT_EQ(job.cleanUps, 1);
        EXPECT_EQ(result, !fired);
        FolderContents expected;
        if (ExpectASoundEnding(files, lines, result, plan, kRenamed)) {
            expected = {{"set1.000", set}, {"set1.DAT", MultiChunkSet(true)}};
        } else {
            expected[Has(lines, kCouldNotMoveBack) ? "set1.000" : "set1.DAT"] = set;
        }
        EXPECT_EQ(files, expected);
        return fired;
    });
}

// Bringing backup 3 back, over the set or where it is missing: whatever
// fails, backup 3 stays as it was, and the set's path holds the set it had
// (nothing, when it had none) or the whole restored copy, the set it had
// then kept as the next backup.
TEST(RestoreBackup, NoSingleOrLastingFaultLosesTheSetOrTheBackup) {
    const Bytes current = MultiChunkSet(), old = MultiChunkSet(true);
    for (const bool setPresent : {true, false}) {
        SCOPED_TRACE(setPresent ? "set present" : "set absent");
        ForEveryFaultWithAndWithoutLinks([&](const FaultPlan& plan) {
            SetFolder folder;
            if (setPresent) folder.Write(current);
            EXPECT_TRUE(gen::WriteWholeFile(folder.dir.File("set1.003"), old));
            const auto [result, fired] =
                RunArmed(plan, [&] { return backup::RestoreBackup(folder.state, 3, &folder.log); });
            const Lines& lines = folder.log.Lines();
            FolderContents files = folder.Files();
            EXPECT_EQ(result, !fired);
            const bool placed =
                ExpectASoundEnding(files, lines, result, plan, std::string(msg::kBackupRestored));
            FolderContents expected = {{"set1.003", old}};
            if (placed) {
                expected["set1.DAT"] = old;
                if (setPresent) expected["set1.000"] = current;
            } else if (setPresent) {
                expected[Has(lines, kCouldNotMoveBack) ? "set1.000" : "set1.DAT"] = current;
            }
            EXPECT_EQ(files, expected);
            return fired;
        });
    }
}

// The rotation: which number is taken, which names are refused, and that a
// refused rotation ends the report at once and leaves every file as it was.
std::string Numbered(int number) {
    return "set1." + std::to_string(1000 + number).substr(1);
}

// Writes the set `name` into the folder (creating the folders it lies in) and
// rewrites it: the report names `backupName` as the backup or, with a
// `refusal`, ends with it at once; either way nothing else in the folder
// changes.
void ExpectRotation(SetFolder& folder, const std::string& name, const std::string& backupName,
                    const std::string& refusal = {}, const FaultPlan& plan = {},
                    const std::string& reason = {}) {
    SCOPED_TRACE(name);
    folder.Load(name);
    std::filesystem::create_directories(std::filesystem::path(folder.setPath).parent_path());
    folder.Write(kSignatureOnly);
    FolderContents expected = folder.Files();
    folder.log = {};
    RecordingJob job;
    const std::string title = "Rewriting " + folder.state.setName;
    EXPECT_EQ(RunArmed(plan, [&] { return RunRewrite(folder, job); }).first, refusal.empty());
    if (refusal.empty()) {
        EXPECT_EQ(folder.log.Lines(),
                  Framed(title, {kCleanUpLine, msg::OriginalRenamed(backupName)}));
        expected[backupName] = kSignatureOnly;
    } else {
        Lines body = {refusal, kCleanUpLine};
        if (!reason.empty()) body.insert(body.begin() + 1, reason);
        EXPECT_EQ(folder.log.Lines(), Framed(title, body, false));
    }
    EXPECT_EQ(job.cleanUps, 1);
    EXPECT_EQ(folder.Files(), expected);
    EXPECT_EQ(folder.SetBytes(), kSignatureOnly);
}

TEST(BackupRotation, TakesTheLowestFreeNumberAndStopsWhenNoneIsFree) {
    SetFolder folder;
    for (int n = 0; n < 1000; ++n) {
        ASSERT_TRUE(
            gen::WriteWholeFile(folder.dir.File(Numbered(n)), {static_cast<std::uint8_t>(n)}));
    }
    ExpectRotation(folder, "set1.DAT", "", msg::TooManyBackups("set1.DAT"));
    for (const int gap : {999, 2}) {  // the last number, then one the user freed
        std::filesystem::remove(folder.dir.Path() / Numbered(gap));
        ExpectRotation(folder, "set1.DAT", Numbered(gap));
    }
}

TEST(BackupRotation, TheWholeTextAfterTheLastDotOfTheFileNameBecomesTheNumber) {
    const std::string invalid(msg::kInvalidLoadSavePath);
    // The set's name, its backup's, or the refusal.
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"set1.D", "set1.000", ""},
        {"set1.DATA", "set1.000", ""},
        {"my.set.DAT", "my.set.000", ""},
        {"set1.000", "set1.001", ""},  // a numbered set is not its own backup
        {"Knights", "", invalid},
        {"Knights.", "", invalid},
        {platform::JoinPath("Sets.old", "Knights"), "", invalid}};
    for (const auto& [name, backupName, refusal] : cases) {
        SetFolder folder;
        ExpectRotation(folder, name, backupName, refusal);
    }
    // On Windows a backup path must fit in 259 characters: ".D" becomes
    // ".000". Elsewhere the system's own limit holds.
    for (const std::size_t pathLength : {257u, 258u}) {
        SetFolder folder;
        const std::string stem(pathLength - folder.setPath.size() + 6, 'k');
        const bool tooLong = !platform::FitsPathLimit(std::string(pathLength + 2, 'k'));
        ExpectRotation(folder, stem + ".D", stem + ".000", tooLong ? invalid : "");
        EXPECT_EQ(folder.setPath.size(), pathLength);
    }
}

TEST(BackupRotation, AMissingSetStopsTheRotation) {
    SetFolder missing;
    RecordingJob job;
    EXPECT_FALSE(RunRewrite(missing, job));
    EXPECT_EQ(missing.log.Lines(),
              Report({"Error - Could not open set1.DAT", ReasonLine(Why::NotFound), kCleanUpLine},
                     false));
    EXPECT_EQ(missing.Files(), FolderContents{});
}

// While the new set is written it is its owner's alone, and the backup name
// chosen for the set may be taken meanwhile: the new file takes the set's
// mode only when it is whole, and the set the next free number.
TEST(BackupRotation, WhatHappensWhileTheNewSetIsWrittenIsRespected) {
    namespace fs = std::filesystem;
    const Bytes set = MultiChunkSet();
    SetFolder folder(set);
    fs::permissions(folder.setPath, fs::perms(0640));
    const fs::perms mode = fs::status(folder.setPath).permissions();
    std::set<fs::perms> modesWhileWritten;
    const auto step = [&](backup::GuardedRewrite& rewrite, const format::Chunk& chunk) {
        modesWhileWritten.insert(fs::status(rewrite.temporaryPath).permissions());
        for (const char* taken : {"set1.000", "set1.001"}) {
            EXPECT_TRUE(gen::WriteWholeFile(folder.dir.File(taken), {1}));
        }
        backup::CopyChunk(rewrite, chunk);
    };
    report::AddHeading(folder.log, "Rewriting set1.DAT");
    EXPECT_TRUE(backup::RunGuardedRewrite(folder.state, {}, folder.log, step));
    EXPECT_EQ(folder.log.Lines(), Report({"Original file renamed to set1.002"}));
    EXPECT_EQ(folder.Files(),
              (FolderContents{
                  {"set1.000", {1}}, {"set1.001", {1}}, {"set1.002", set}, {"set1.DAT", set}}));
    EXPECT_EQ(fs::status(folder.setPath).permissions(), mode);
    if (platform::kPathSeparator == '/') {
        EXPECT_EQ(modesWhileWritten, std::set<fs::perms>{fs::perms(0600)});
    }
}

}  // namespace
}  // namespace sorrelwick::test
