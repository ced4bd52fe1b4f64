// The platform layer must behave alike on POSIX and on Windows (these tests
// also run under Wine): binary streams, exclusive creation, moves that never
// replace, and the "*.tga" search.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "generators/chess_set_builder.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace sorrelwick::test {
namespace {

using platform::File;
using Bytes = std::vector<std::uint8_t>;

// Bytes that a text-mode stream would change on Windows.
const Bytes kAwkwardBytes = {'a', '\n', 'b', '\r', '\n', 0x1A, 0, 'c', '\r'};

Bytes ReadAll(File& file) {
    Bytes bytes(64);
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    return bytes;
}

TEST(PlatformFile, ReadsBytesExactlyAndCountsWhatRemains) {
    TempDir dir;
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("set.DAT"), kAwkwardBytes));
    File file = File::OpenForReading(dir.File("set.DAT"));
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Remaining(), kAwkwardBytes.size());
    EXPECT_EQ(ReadAll(file), kAwkwardBytes);
    EXPECT_FALSE(file.ReadFailed());
    EXPECT_EQ(file.Remaining(), 0u);
    EXPECT_TRUE(file.Close());
}

TEST(PlatformFile, OpeningAFolderOrAMissingFileFails) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "folder.DAT");
    EXPECT_FALSE(File::OpenForReading(dir.File("folder.DAT")).IsOpen());
    EXPECT_FALSE(File::OpenForReading(dir.File("missing.DAT")).IsOpen());
}

TEST(PlatformFile, WritesBytesExactlyAndEmptiesAnExistingFile) {
    TempDir dir;
    const std::string path = dir.File("out.tga");
    ASSERT_TRUE(gen::WriteWholeFile(path, Bytes(100, 7)));
    File file = File::CreateForWriting(path);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_TRUE(file.Write(kAwkwardBytes.data(), kAwkwardBytes.size()));
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(gen::ReadWholeFile(path), kAwkwardBytes);
}

TEST(PlatformFile, CreateNewNeverTouchesAnExistingFile) {
    TempDir dir;
    const std::string path = dir.File("texture.tga");
    File::CreateOutcome outcome = File::CreateOutcome::Failed;
    File created = File::CreateNew(path, outcome);
    EXPECT_EQ(outcome, File::CreateOutcome::Created);
    ASSERT_TRUE(created.Write(kAwkwardBytes.data(), kAwkwardBytes.size()));
    ASSERT_TRUE(created.Close());

    File again = File::CreateNew(path, outcome);
    EXPECT_EQ(outcome, File::CreateOutcome::AlreadyExists);
    EXPECT_FALSE(again.IsOpen());
    EXPECT_EQ(gen::ReadWholeFile(path), kAwkwardBytes);

    File::CreateNew(dir.File("no-such-folder") + platform::kPathSeparator + "x.tga", outcome);
    EXPECT_EQ(outcome, File::CreateOutcome::Failed);
}

TEST(PlatformMove, MovesOnlyToAFreeName) {
    TempDir dir;
    const std::string set = dir.File("set.DAT");
    const std::string backup = dir.File("set.000");
    ASSERT_TRUE(gen::WriteWholeFile(set, {1, 2, 3}));

    EXPECT_EQ(platform::MoveWithoutReplacing(set, backup), platform::MoveOutcome::Moved);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"set.000"}));
    EXPECT_EQ(gen::ReadWholeFile(backup), (Bytes{1, 2, 3}));

    ASSERT_TRUE(gen::WriteWholeFile(set, {4}));
    EXPECT_EQ(platform::MoveWithoutReplacing(set, backup), platform::MoveOutcome::TargetExists);
    EXPECT_EQ(gen::ReadWholeFile(set), (Bytes{4}));
    EXPECT_EQ(gen::ReadWholeFile(backup), (Bytes{1, 2, 3}));

    EXPECT_EQ(platform::MoveWithoutReplacing(dir.File("missing.DAT"), dir.File("other.000")),
              platform::MoveOutcome::Failed);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"set.000", "set.DAT"}));
}

TEST(PlatformRemove, RemovesAFileOnce) {
    TempDir dir;
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("new.DAT"), {1}));
    EXPECT_TRUE(platform::RemoveFile(dir.File("new.DAT")));
    EXPECT_FALSE(platform::RemoveFile(dir.File("new.DAT")));
    EXPECT_TRUE(dir.Entries().empty());
}

std::vector<std::string> SearchAll(const std::string& folder) {
    std::vector<std::string> names;
    platform::TgaSearch search(folder);
    std::string name;
    while (search.Next(name)) names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(PlatformTgaSearch, FindsTgaNamesInAnyLetterCaseFoldersIncluded) {
    TempDir dir;
    for (const char* name : {"a.tga", "B.TGA", "c.Tga", "e.tga.bak", "f.tg", "tga", "g.DAT"}) {
        ASSERT_TRUE(gen::WriteWholeFile(dir.File(name), {0}));
    }
    std::filesystem::create_directory(dir.Path() / "d.tga");
    EXPECT_EQ(SearchAll(dir.Path().string()),
              (std::vector<std::string>{"B.TGA", "a.tga", "c.Tga", "d.tga"}));
    EXPECT_TRUE(SearchAll(dir.File("missing")).empty());
}

struct NameCase {
    const char* path;
    const char* posixName;
    const char* windowsName;
};

TEST(PlatformPathNames, NameIsTheTextAfterTheLastSeparator) {
    const NameCase cases[] = {
        {"set.DAT", "set.DAT", "set.DAT"},
        {"/games/sets/A1.DAT", "A1.DAT", "A1.DAT"},
        {"C:\\sets\\B1.DAT", "C:\\sets\\B1.DAT", "B1.DAT"},
        {"sets\\mixed/C1.DAT", "C1.DAT", "C1.DAT"},
        {"sets/", "sets/", "sets/"},
        {"", "", ""},
    };
    for (const NameCase& c : cases) {
        const char* expected = platform::kPathSeparator == '\\' ? c.windowsName : c.posixName;
        EXPECT_EQ(platform::FileNamePart(c.path), expected) << c.path;
    }
    EXPECT_EQ(platform::JoinPath("out", "a.tga"),
              std::string("out") + platform::kPathSeparator + "a.tga");
}

}  // namespace
}  // namespace sorrelwick::test
