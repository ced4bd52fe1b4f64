// The backup rotation and the guarded rewrite, through a RewriteJob of the
// tests' own: the report lines of every ending and, after each, what stands
// on disk. The loaded set must survive every failure byte for byte, under its
// own path or under the backup name.

#include <optional>
#include <tuple>

#include "backup/restore_backup.h"
#include "report/messages.h"
#include "support/recording_job.h"

namespace sorrelwick::test {
namespace {

namespace msg = report::msg;

const std::string kCouldNotDelete = "Error - Could not delete set1~000";
const std::string kCouldNotMoveBack = "Error - Could not rename set1.000 to set1.DAT";
const Bytes kSignatureOnly = gen::ChessSetBuilder().Signature(0x12345678).Bytes();

Lines Report(const Lines& body, bool closed = true) {
    return Framed("Rewriting set1.DAT", body, closed);
}

// The multi-chunk set's checked operations, in order: move to the backup;
// open the backup, create the new file; read the signature, write it; per
// chunk: read the header, take memory (when the payload is longer than any
// before it) and read the payload (when there is one), write the header and
// the payload; read the end; flush the new file; close both files; move the
// new file to the set's path.
TEST(GuardedRewrite, EveryFailureAfterTheRotationRestoresTheSet) {
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
    const std::string closeBackup = "Error - Could not close set1.000";
    const std::string closeNew = "Error - Could not close set1.DAT";
    // clang-format off
    const Case cases[] = {
        {"backup held open elsewhere", Armed(Operation::Open, 1, Why::InUse),
         heldFor(0, "Error - Could not open set1.000", Why::InUse)},
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
        {"backup not closed", {Operation::Close, 1}, Chunks(all, {kCleanUpLine, closeBackup})},
        {"new file not closed", Armed(Operation::Close, 2, Why::DiskFull),
         Chunks(all, {kCleanUpLine, closeNew, ReasonLine(Why::DiskFull)})},
        {"neither closed", {Operation::Close, 1, true},
         Chunks(all, {kCleanUpLine, closeBackup, closeNew})},
        {"new file not flushed", Armed(Operation::Flush, 1, Why::ReadOnly),
         heldFor(all, kCouldNotWrite, Why::ReadOnly)},
        {"the set's attributes not kept", Armed(Operation::Attributes, 2, Why::AccessDenied),
         Chunks(all, {kCleanUpLine, kCouldNotWrite, ReasonLine(Why::AccessDenied)})},
        {"new file not moved to the set's path", Armed(Operation::Move, 2, Why::AccessDenied),
         Chunks(all, {kCleanUpLine, "Error - Could not rename set1~000 to set1.DAT",
                      ReasonLine(Why::AccessDenied)})},
        {"a step writes a wrong length", {}, held(all, kCouldNotWrite), {.wrongLengthAtChunk = 2}},
        {"a step runs out of memory", {}, held(1, kNoMemory), {.throwAtChunk = 1}},
        {"latest failure shown: chunk step, then memory", {Operation::Allocate, 2},
         held(1, kNoMemory), {.failAtChunk = 1, .failMessage = closeA}},
        {"latest failure shown: write, then chunk step", {Operation::Write, 2},
         held(all, closeA), {.failAtChunk = 5, .failMessage = closeA}},
        // A temporary file that can't be deleted stays, named in the report;
        // the set goes back all the same. When the move back fails, the set
        // stays under the backup name.
        {"delete fails", Armed(Operation::Remove, 1, Why::AccessDenied),
         held(0, kNoMemory, {kCouldNotDelete, ReasonLine(Why::AccessDenied)}), unprepared,
         FolderContents{{"set1.DAT", MultiChunkSet()}, {"set1~000", {}}}},
        {"move back fails", Armed(Operation::Move, 2, Why::InUse),
         held(0, kNoMemory, {kCouldNotMoveBack, ReasonLine(Why::InUse)}), unprepared, backupOnly},
        // Nothing was created, so nothing is deleted.
        {"all fails from opening the backup", {std::nullopt, 2, true},
         held(0, "Error - Could not open set1.000", {kCouldNotMoveBack}), {}, backupOnly},
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
// temporary file out of `files`: it may stay only when the report says it
// could not be deleted, which a single fault can't bring about.
bool ExpectASoundEnding(FolderContents& files, const Lines& lines, bool result,
                        const FaultPlan& plan, const std::string& placedLine) {
    const bool placed = Has(lines, placedLine);
    if (placed && !result) {
        EXPECT_EQ(lines.size() >= 3 ? lines[lines.size() - 3] : std::string(), kCouldNotWrite);
    }
    const bool temporaryLeft = files.erase("set1~000") == 1;
    EXPECT_EQ(temporaryLeft, Has(lines, kCouldNotDelete));
    if (temporaryLeft || Has(lines, kCouldNotMoveBack)) {
        EXPECT_TRUE(plan.persistent) << "a single fault can't reach the restore";
    }
    return placed;
}

// The set's path holds the loaded set or the whole new one, and nothing
// else, and no temporary file stays unless the report says it could not be
// deleted.
TEST(GuardedRewrite, NoSingleOrLastingFaultLosesTheSet) {
    const Bytes set = MultiChunkSet();
    ForEveryFault([&set](const FaultPlan& plan) {
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
            // Back under its path, or whole under the backup name.
            expected[Has(lines, kCouldNotMoveBack) ? "set1.000" : "set1.DAT"] = set;
        }
        EXPECT_EQ(files, expected);
        return fired;
    });
}

// Bringing backup 3 back, over the set or where it is missing: whatever
// fails, backup 3 stays as it was, the set's path holds the set it had,
// nothing, or the whole restored copy, and the set it had is never lost.
TEST(RestoreBackup, NoSingleOrLastingFaultLosesTheSetOrTheBackup) {
    const Bytes current = MultiChunkSet(), old = MultiChunkSet(true);
    for (const bool setPresent : {true, false}) {
        SCOPED_TRACE(setPresent ? "set present" : "set absent");
        ForEveryFault([&](const FaultPlan& plan) {
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
                // Back under its path, or whole under the backup name.
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

TEST(BackupRotation, AFailedMoveOrAMissingSetStopsTheRotation) {
    // The first name is taken, the move to the second fails: the set is held
    // open elsewhere, or its folder is read-only.
    SetFolder held;
    ASSERT_TRUE(gen::WriteWholeFile(held.dir.File("set1.000"), {1}));
    ExpectRotation(held, "set1.DAT", "", "Error - Could not rename set1.DAT to set1.001",
                   Armed(Operation::Move, 2, Why::InUse), ReasonLine(Why::InUse));

    SetFolder missing;
    RecordingJob job;
    EXPECT_FALSE(RunRewrite(missing, job));
    EXPECT_EQ(missing.log.Lines(),
              Report({"Error - Could not open set1.DAT", ReasonLine(Why::NotFound), kCleanUpLine},
                     false));
    EXPECT_EQ(missing.Files(), FolderContents{});
}

}  // namespace
}  // namespace sorrelwick::test
