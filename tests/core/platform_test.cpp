// The platform services the operations rely on, with the behaviour Windows
// gives them on every platform.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "generators/chess_set_builder.h"
#include "platform/fault_seam.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace sorrelwick::platform {
namespace {

using test::TempDir;

TEST(FileNamePart, TextAfterTheLastSeparator) {
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(FileNamePart("set1.DAT"), "set1.DAT");
    EXPECT_EQ(FileNamePart("a" + sep + "b" + sep + "set1.DAT"), "set1.DAT");
    EXPECT_EQ(FileNamePart("a" + sep), "a" + sep);  // nothing follows: the whole path
    EXPECT_EQ(FileNamePart(""), "");
#ifdef _WIN32
    EXPECT_EQ(FileNamePart("C:\\Sets/x.DAT"), "x.DAT");
#else
    EXPECT_EQ(FileNamePart("C:\\Sets\\x.DAT"), "C:\\Sets\\x.DAT");
#endif
}

TEST(File, OpeningAFolderForReadingFails) {
    TempDir dir;
    EXPECT_FALSE(File::OpenForReading(dir.Path().string()).IsOpen());
}

TEST(File, CreateNewNeverTouchesAnExistingFile) {
    TempDir dir;
    const std::string path = dir.File("a.tga");
    ASSERT_TRUE(gen::WriteWholeFile(path, {1, 2, 3}));
    File::CreateOutcome outcome{};
    EXPECT_FALSE(File::CreateNew(path, outcome).IsOpen());
    EXPECT_EQ(outcome, File::CreateOutcome::AlreadyExists);
    EXPECT_EQ(gen::ReadWholeFile(path), (std::vector<std::uint8_t>{1, 2, 3}));

    File created = File::CreateNew(dir.File("b.tga"), outcome);
    EXPECT_EQ(outcome, File::CreateOutcome::Created);
    EXPECT_TRUE(created.Write("xy", 2));
    EXPECT_TRUE(created.Close());
    EXPECT_EQ(gen::ReadWholeFile(dir.File("b.tga")), (std::vector<std::uint8_t>{'x', 'y'}));

    File::CreateNew(dir.File("missing") + kPathSeparator + "c.tga", outcome);
    EXPECT_EQ(outcome, File::CreateOutcome::Failed);
}

TEST(File, ReadsTellTheEndFromAnErrorAndCountWhatRemains) {
    TempDir dir;
    const std::string path = dir.File("f");
    ASSERT_TRUE(gen::WriteWholeFile(path, {1, 2, 3, 4, 5}));
    File file = File::OpenForReading(path);
    std::uint8_t buffer[8];
    EXPECT_EQ(file.Remaining(), 5u);
    EXPECT_EQ(file.Read(buffer, 2), 2u);
    EXPECT_EQ(file.Remaining(), 3u);
    EXPECT_EQ(file.Read(buffer, 8), 3u);
    EXPECT_FALSE(file.ReadFailed());
    {
        ScopedFault fault(FaultPlan{Operation::Read, 1});
        EXPECT_EQ(file.Read(buffer, 1), 0u);
    }
    EXPECT_TRUE(file.ReadFailed());
    EXPECT_TRUE(file.Close());
}

TEST(MoveWithoutReplacing, NeverReplacesTheTarget) {
    TempDir dir;
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("a"), {1}));
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("b"), {2}));
    EXPECT_EQ(MoveWithoutReplacing(dir.File("a"), dir.File("b")), MoveOutcome::TargetExists);
    EXPECT_EQ(gen::ReadWholeFile(dir.File("b")), std::vector<std::uint8_t>{2});
    EXPECT_EQ(MoveWithoutReplacing(dir.File("a"), dir.File("c")), MoveOutcome::Moved);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(MoveWithoutReplacing(dir.File("a"), dir.File("d")), MoveOutcome::Failed);
    EXPECT_TRUE(RemoveFile(dir.File("c")));
    EXPECT_FALSE(RemoveFile(dir.File("c")));
}

TEST(TgaSearch, FindsEveryEntryEndingInTgaInAnyCase) {
    TempDir dir;
    for (const char* name : {"a.tga", "B.TGA", "c.Tga", "d.tgax", "e.tg", "tga", ".tga"}) {
        ASSERT_TRUE(gen::WriteWholeFile(dir.File(name), {0}));
    }
    std::filesystem::create_directory(dir.Path() / "old.tga");
    std::vector<std::string> found;
    TgaSearch search(dir.Path().string());
    for (std::string name; search.Next(name);) found.push_back(name);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{".tga", "B.TGA", "a.tga", "c.Tga", "old.tga"}));

    TgaSearch missing(dir.File("none"));
    std::string name;
    EXPECT_FALSE(missing.Next(name));
}

TEST(FaultSeam, FailsTheChosenOperationOnceOrFromThenOn) {
    {
        ScopedFault fault(FaultPlan{Operation::Write, 2});
        EXPECT_FALSE(ShouldFail(Operation::Write));
        EXPECT_FALSE(ShouldFail(Operation::Read));
        EXPECT_TRUE(ShouldFail(Operation::Write));
        EXPECT_FALSE(ShouldFail(Operation::Write));
        EXPECT_EQ(OperationsSeen(), 4u);
        EXPECT_EQ(OperationsSeen(Operation::Write), 3u);
    }
    {
        ScopedFault fault(FaultPlan{std::nullopt, 2, true});
        EXPECT_FALSE(ShouldFail(Operation::Open));
        EXPECT_FALSE(FaultFired());
        EXPECT_TRUE(ShouldFail(Operation::Close));
        EXPECT_TRUE(ShouldFail(Operation::Allocate));
        EXPECT_TRUE(FaultFired());
    }
    EXPECT_FALSE(ShouldFail(Operation::Open));
}

}  // namespace
}  // namespace sorrelwick::platform
