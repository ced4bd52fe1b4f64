// The platform layer must behave alike on POSIX and on Windows (these tests
// also run under Wine): binary streams, exclusive creation, moves that never
// replace, the "*.tga" search, and a read failure told from the end of a file.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "generators/chess_set_builder.h"
#include "platform/fault_seam.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace sorrelwick::test {
namespace {

using namespace platform;
using Bytes = std::vector<std::uint8_t>;

// Bytes that a text-mode stream would change on Windows.
const Bytes kAwkwardBytes = {'a', '\n', 'b', '\r', '\n', 0x1A, 0, 'c', '\r'};

TEST(PlatformFile, ReadsAndWritesBytesExactly) {
    TempDir dir;
    const std::string path = dir.File("set.DAT");
    ASSERT_TRUE(gen::WriteWholeFile(path, Bytes(100, 7)));
    File out = File::CreateForWriting(path);  // empties the file
    ASSERT_TRUE(out.Write(kAwkwardBytes.data(), kAwkwardBytes.size()));
    ASSERT_TRUE(out.Close());

    File in = File::OpenForReading(path);
    Bytes bytes(64);
    EXPECT_EQ(in.Remaining(), kAwkwardBytes.size());
    EXPECT_EQ(in.Read(bytes.data(), 2), 2u);
    EXPECT_EQ(in.Remaining(), kAwkwardBytes.size() - 2);
    bytes.resize(2 + in.Read(bytes.data() + 2, bytes.size() - 2));
    EXPECT_EQ(bytes, kAwkwardBytes);
    EXPECT_FALSE(in.ReadFailed());  // the end is no failure
    {
        ScopedFault fault(FaultPlan{Operation::Read, 1});
        EXPECT_EQ(in.Read(bytes.data(), 1), 0u);
    }
    EXPECT_TRUE(in.ReadFailed());  // an injected one is
    EXPECT_TRUE(in.Close());

    std::filesystem::create_directory(dir.Path() / "folder.DAT");
    EXPECT_FALSE(File::OpenForReading(dir.File("folder.DAT")).IsOpen());
    EXPECT_FALSE(File::OpenForReading(dir.File("missing.DAT")).IsOpen());
}

TEST(PlatformFile, CreateNewNeverTouchesAnExistingFile) {
    TempDir dir;
    const std::string path = dir.File("texture.tga");
    File::CreateOutcome outcome = File::CreateOutcome::Failed;
    File created = File::CreateNew(path, outcome);
    EXPECT_EQ(outcome, File::CreateOutcome::Created);
    ASSERT_TRUE(created.Write(kAwkwardBytes.data(), kAwkwardBytes.size()));
    ASSERT_TRUE(created.Close());

    EXPECT_FALSE(File::CreateNew(path, outcome).IsOpen());
    EXPECT_EQ(outcome, File::CreateOutcome::AlreadyExists);
    EXPECT_EQ(gen::ReadWholeFile(path), kAwkwardBytes);
    File::CreateNew(JoinPath(dir.File("no-such-folder"), "x.tga"), outcome);
    EXPECT_EQ(outcome, File::CreateOutcome::Failed);
}

TEST(PlatformFileSystem, MovesOnlyToAFreeNameAndRemovesOnce) {
    TempDir dir;
    const std::string set = dir.File("set.DAT"), backup = dir.File("set.000");
    ASSERT_TRUE(gen::WriteWholeFile(set, {1, 2, 3}));
    EXPECT_EQ(MoveWithoutReplacing(set, backup), MoveOutcome::Moved);
    ASSERT_TRUE(gen::WriteWholeFile(set, {4}));
    EXPECT_EQ(MoveWithoutReplacing(set, backup), MoveOutcome::TargetExists);
    EXPECT_EQ(MoveWithoutReplacing(dir.File("missing.DAT"), dir.File("x.000")),
              MoveOutcome::Failed);
    EXPECT_EQ(FilesIn(dir.Path()), (FolderContents{{"set.000", {1, 2, 3}}, {"set.DAT", {4}}}));

    EXPECT_TRUE(RemoveFile(set));
    EXPECT_FALSE(RemoveFile(set));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"set.000"});
}

TEST(PlatformFileSystem, ExtensionSearchFindsNamesInAnyLetterCaseFoldersIncluded) {
    TempDir dir;
    for (const char* name :
         {"a.tga", "B.TGA", "c.Tga", "e.tga.bak", "f.tg", "tga", "g.DAT", "h.PNG", "i.png.tga"}) {
        ASSERT_TRUE(gen::WriteWholeFile(dir.File(name), {0}));
    }
    std::filesystem::create_directory(dir.Path() / "d.tga");
    const auto searchAll = [](const std::string& folder, const char* extension = ".tga") {
        std::vector<std::string> names;
        ExtensionSearch search(folder, extension);
        for (std::string name; search.Next(name);) names.push_back(name);
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_EQ(searchAll(dir.Path().string()),
              (std::vector<std::string>{"B.TGA", "a.tga", "c.Tga", "d.tga", "i.png.tga"}));
    EXPECT_EQ(searchAll(dir.Path().string(), ".png"), std::vector<std::string>{"h.PNG"});
    EXPECT_TRUE(searchAll(dir.File("missing")).empty());
}

TEST(PlatformFileSystem, NameIsTheTextAfterTheLastSeparator) {
    // The path, its name on POSIX, its name on Windows.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"set.DAT", "set.DAT", "set.DAT"},
        {"/games/sets/A1.DAT", "A1.DAT", "A1.DAT"},
        {"C:\\sets\\B1.DAT", "C:\\sets\\B1.DAT", "B1.DAT"},
        {"sets\\mixed/C1.DAT", "C1.DAT", "C1.DAT"},
        {"sets/", "sets/", "sets/"},
        {"", "", ""},
    };
    for (const auto& [path, posixName, windowsName] : cases) {
        EXPECT_EQ(FileNamePart(path), kPathSeparator == '\\' ? windowsName : posixName) << path;
    }
    EXPECT_EQ(JoinPath("out", "a.tga"), std::string("out") + kPathSeparator + "a.tga");
}

}  // namespace
}  // namespace sorrelwick::test
