// The backup rotation seen through whole rewrites: which number is taken,
// which paths are refused, and that a refused rotation leaves every file as
// it was.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "generators/chess_set_builder.h"
#include "platform/fault_seam.h"
#include "platform/file_system.h"
#include "report/messages.h"
#include "support/recording_job.h"
#include "support/report_matchers.h"
#include "support/temp_dir.h"

namespace sorrelwick::test {
namespace {

using Lines = std::vector<std::string>;

// The report of a rotation that failed: heading, message, the clean-up, and
// no closing lines.
Lines RotationFailed(const std::string& setName, const std::string& message) {
    return {kSep, RewriteTitle(setName), "", message, kCleanUpLine};
}

Lines Succeeded(const std::string& setName, const std::string& backupName) {
    return Framed(RewriteTitle(setName), {kCleanUpLine, report::msg::OriginalRenamed(backupName)});
}

std::vector<std::uint8_t> BackupBytes(int number) {
    return std::vector<std::uint8_t>(3, static_cast<std::uint8_t>(number));
}

std::string Numbered(int number) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%03d", number);
    return std::string("set1.") + digits;
}

const std::vector<std::uint8_t> kSignatureOnly = gen::ChessSetBuilder().Signature().Bytes();

TEST(BackupRotation, TakesTheLowestFreeNumberIncludingAGapTheUserMade) {
    TempDir dir;
    for (int n = 0; n <= 4; ++n) gen::WriteWholeFile(dir.File(Numbered(n)), BackupBytes(n));
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("set1.DAT"), kSignatureOnly));

    RecordingJob first;
    EXPECT_EQ(RunRewrite(dir.File("set1.DAT"), first).lines, Succeeded("set1.DAT", "set1.005"));
    EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.005")), kSignatureOnly);

    std::filesystem::remove(dir.Path() / "set1.002");
    RecordingJob second;
    EXPECT_EQ(RunRewrite(dir.File("set1.DAT"), second).lines, Succeeded("set1.DAT", "set1.002"));
    EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.002")), kSignatureOnly);

    for (int n : {0, 1, 3, 4}) EXPECT_EQ(gen::ReadWholeFile(dir.File(Numbered(n))), BackupBytes(n));
    EXPECT_EQ(dir.Entries().size(), 7u);
}

TEST(BackupRotation, AllThousandNamesTakenChangesNothing) {
    TempDir dir;
    for (int n = 0; n < 1000; ++n) gen::WriteWholeFile(dir.File(Numbered(n)), BackupBytes(n));
    const auto set = MultiChunkSet();
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("set1.DAT"), set));

    RecordingJob job;
    const RewriteRun run = RunRewrite(dir.File("set1.DAT"), job);

    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.lines, RotationFailed("set1.DAT", report::msg::TooManyBackups("set1.DAT")));
    EXPECT_EQ(job.cleanUps, 1);
    EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.DAT")), set);
    EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.999")), BackupBytes(999));
    EXPECT_EQ(dir.Entries().size(), 1001u);
}

TEST(BackupRotation, RefusesPathsWithoutAUsableDotInTheFileName) {
    const std::string folder = "Sets.old";
    const std::string inFolder = platform::JoinPath(folder, "Knights");
    for (const std::string& relative :
         {std::string("Knights"), std::string("Knights."), inFolder}) {
        SCOPED_TRACE(relative);
        TempDir dir;
        std::filesystem::create_directory(dir.Path() / folder);
        const std::string setPath = dir.File(relative);
        ASSERT_TRUE(gen::WriteWholeFile(setPath, kSignatureOnly));
        const Lines entriesBefore = dir.Entries();

        RecordingJob job;
        const RewriteRun run = RunRewrite(setPath, job);

        const std::string setName(platform::FileNamePart(setPath));
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.lines,
                  RotationFailed(setName, std::string(report::msg::kInvalidLoadSavePath)));
        EXPECT_EQ(job.cleanUps, 1);
        EXPECT_EQ(gen::ReadWholeFile(setPath), kSignatureOnly);
        EXPECT_EQ(dir.Entries(), entriesBefore);
    }
}

TEST(BackupRotation, TheWholeTextAfterTheLastDotBecomesTheNumber) {
    struct Case {
        std::string setName;
        std::string backupName;
    };
    const Case cases[] = {
        {"set1.D", "set1.000"},
        {"set1.DATA", "set1.000"},
        {"my.set.DAT", "my.set.000"},
        // A set that already carries a backup number is not its own backup.
        {"set1.000", "set1.001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setName);
        TempDir dir;
        ASSERT_TRUE(gen::WriteWholeFile(dir.File(c.setName), kSignatureOnly));
        RecordingJob job;
        EXPECT_EQ(RunRewrite(dir.File(c.setName), job).lines, Succeeded(c.setName, c.backupName));
        EXPECT_EQ(gen::ReadWholeFile(dir.File(c.backupName)), kSignatureOnly);
        EXPECT_EQ(gen::ReadWholeFile(dir.File(c.setName)), kSignatureOnly);
        EXPECT_EQ(dir.Entries().size(), 2u);
    }
}

TEST(BackupRotation, ABackupPathMustFitIn259Characters) {
    for (const std::size_t setPathLength : {257u, 258u}) {
        SCOPED_TRACE(setPathLength);
        TempDir dir;
        const std::size_t folderLength = dir.File("").size();
        ASSERT_LT(folderLength + 3, setPathLength);
        const std::string name = std::string(setPathLength - folderLength - 2, 'k') + ".D";
        const std::string setPath = dir.File(name);
        ASSERT_EQ(setPath.size(), setPathLength);
        ASSERT_TRUE(gen::WriteWholeFile(setPath, kSignatureOnly));

        RecordingJob job;
        const RewriteRun run = RunRewrite(setPath, job);

        // ".D" becomes ".000": the backup path is two characters longer.
        const bool fits = setPathLength + 2 <= 259;
        EXPECT_EQ(run.result, fits);
        const std::string backupName = name.substr(0, name.size() - 1) + "000";
        EXPECT_EQ(run.lines,
                  fits ? Succeeded(name, backupName)
                       : RotationFailed(name, std::string(report::msg::kInvalidLoadSavePath)));
        EXPECT_EQ(gen::ReadWholeFile(setPath), kSignatureOnly);
        EXPECT_EQ(dir.Entries().size(), fits ? 2u : 1u);
    }
}

TEST(BackupRotation, AMissingSetStopsTheRotationWithTheRenameMessage) {
    TempDir dir;
    RecordingJob job;
    const RewriteRun run = RunRewrite(dir.File("set1.DAT"), job);

    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.lines,
              RotationFailed("set1.DAT", report::msg::CouldNotRename("set1.DAT", "set1.000")));
    EXPECT_EQ(job.cleanUps, 1);
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(BackupRotation, AMoveToAFreeNameThatFailsNamesThatBackupAndChangesNothing) {
    // Stands for a set held open elsewhere or a read-only folder: the first
    // name is taken, the move to the second fails.
    TempDir dir;
    gen::WriteWholeFile(dir.File("set1.000"), BackupBytes(0));
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("set1.DAT"), kSignatureOnly));

    RecordingJob job;
    RewriteRun run;
    {
        platform::ScopedFault fault({platform::Operation::Move, 2, false});
        run = RunRewrite(dir.File("set1.DAT"), job);
        EXPECT_EQ(platform::OperationsSeen(platform::Operation::Move), 2u);
    }

    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.lines,
              RotationFailed("set1.DAT", report::msg::CouldNotRename("set1.DAT", "set1.001")));
    EXPECT_EQ(job.cleanUps, 1);
    EXPECT_EQ(dir.Entries(), (Lines{"set1.000", "set1.DAT"}));
    EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.000")), BackupBytes(0));
    EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.DAT")), kSignatureOnly);
}

}  // namespace
}  // namespace sorrelwick::test
