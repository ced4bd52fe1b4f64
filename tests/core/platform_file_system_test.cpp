// The platform layer must behave alike on POSIX and on Windows (these tests
// also run under Wine): binary streams, exclusive creation, moves that never
// replace, the "*.tga" search, and a read failure told from the end of a file.

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "platform/file.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

using namespace platform;

// Bytes that a text-mode stream would change on Windows.
const Bytes kAwkwardBytes = {'a', '\n', 'b', '\r', '\n', 0x1A, 0, 'c', '\r'};

// Bytes still in the buffer reach the file by the flush or the close, and
// an injected write failure takes nothing in; the end of a file is no read
// failure, an injected one is.
TEST(PlatformFile, BufferedBytesReachTheFileAndFailuresAreTold) {
    TempDir dir;
    const std::string path = dir.File("set.DAT");
    ASSERT_TRUE(gen::WriteWholeFile(path, Bytes(100, 7)));
    File out = File::CreateForWriting(path);  // empties the file
    ASSERT_TRUE(out.Write(kAwkwardBytes.data(), 4));
    {
        ScopedFault fault(FaultPlan{Operation::Write, 1});
        EXPECT_FALSE(out.Write(kAwkwardBytes.data(), 2));
    }
    ASSERT_TRUE(out.Flush());
    EXPECT_EQ(std::filesystem::file_size(path), 4u);
    ASSERT_TRUE(out.Write(kAwkwardBytes.data() + 4, kAwkwardBytes.size() - 4));
    File moved = std::move(out);
    EXPECT_FALSE(out.Write(kAwkwardBytes.data(), 1));
    EXPECT_TRUE(moved.Close());

    File in = File::OpenForReading(path);
    EXPECT_EQ(in.Remaining(), kAwkwardBytes.size());
    Bytes bytes(64);
    bytes.resize(in.Read(bytes.data(), bytes.size()));
    EXPECT_EQ(bytes, kAwkwardBytes);
    EXPECT_FALSE(in.ReadFailed());
    {
        ScopedFault fault(FaultPlan{Operation::Read, 1});
        EXPECT_EQ(in.Read(bytes.data(), 1), 0u);
    }
    EXPECT_TRUE(in.ReadFailed());
    EXPECT_TRUE(in.Close());
}

// Requests of every size against the file's own buffer: within it, across
// its end, exactly its size, and longer than it, which skip it. Each pattern
// writes a file in pieces of those sizes and reads it back in the same
// pieces, one position further on each time, so that the pieces fall on
// every side of the buffer's boundaries.
TEST(PlatformFile, PiecesOfAnySizeComeBackInOrderAcrossTheBuffer) {
    constexpr std::size_t k64K = 64 * 1024;
    const std::vector<std::vector<std::size_t>> patterns = {
        {12, 36},                        // a small chunk's header and payload
        {12, k64K - 13, 1},              // ends one byte before and on the boundary
        {k64K},                          // exactly the buffer
        {7, k64K + 1, 3, 3 * k64K},      // longer than the buffer, with bytes waiting
        {12, 256 * 1024, 12, 18, 5000},  // a texture between small chunks
    };
    TempDir dir;
    const std::string path = dir.File("pieces.DAT");
    Bytes written(700 * 1024);
    for (std::size_t i = 0; i < written.size(); ++i) {
        written[i] = static_cast<std::uint8_t>(i * 131 >> 3);
    }
    for (const auto& pattern : patterns) {
        SCOPED_TRACE(pattern.size());
        File out = File::CreateForWriting(path);
        for (std::size_t at = 0, round = 0, size = 0; at < written.size(); at += size, ++round) {
            size = std::min(pattern[round % pattern.size()], written.size() - at);
            ASSERT_TRUE(out.Write(written.data() + at, size));
        }
        ASSERT_TRUE(out.Close());

        File in = File::OpenForReading(path);
        Bytes read;
        for (std::size_t round = 1; read.size() <= written.size(); ++round) {
            Bytes piece(pattern[round % pattern.size()]);
            const std::size_t got = in.Read(piece.data(), piece.size());
            ASSERT_EQ(got, std::min(piece.size(), written.size() - read.size()));
            read.insert(read.end(), piece.begin(), piece.begin() + static_cast<long>(got));
            ASSERT_EQ(in.Remaining(), written.size() - read.size());
            if (got == 0) break;  // the end, asked for once more
        }
        EXPECT_EQ(read, written);
        EXPECT_FALSE(in.ReadFailed());
        EXPECT_TRUE(in.Close());
    }
}

// Creating and moving never replace a file; removing happens once.
TEST(PlatformFileSystem, NothingIsReplacedAndRemovingHappensOnce) {
    TempDir dir;
    const std::string set = dir.File("set.DAT"), backup = dir.File("set.000");
    File::CreateOutcome outcome = File::CreateOutcome::Failed;
    File created = File::CreateNew(set, outcome);
    EXPECT_EQ(outcome, File::CreateOutcome::Created);
    ASSERT_TRUE(created.Write(kAwkwardBytes.data(), kAwkwardBytes.size()));
    ASSERT_TRUE(created.Close());
    EXPECT_FALSE(File::CreateNew(set, outcome).IsOpen());
    EXPECT_EQ(outcome, File::CreateOutcome::AlreadyExists);
    File::CreateNew(JoinPath(dir.File("no-such-folder"), "x.tga"), outcome);
    EXPECT_EQ(outcome, File::CreateOutcome::Failed);

    EXPECT_EQ(MoveWithoutReplacing(set, backup), MoveOutcome::Moved);
    ASSERT_TRUE(gen::WriteWholeFile(set, {4}));
    EXPECT_EQ(MoveWithoutReplacing(set, backup), MoveOutcome::TargetExists);
    EXPECT_EQ(MoveWithoutReplacing(dir.File("missing.DAT"), dir.File("x.000")),
              MoveOutcome::Failed);
    EXPECT_EQ(FilesIn(dir.Path()), (FolderContents{{"set.000", kAwkwardBytes}, {"set.DAT", {4}}}));
    EXPECT_TRUE(RemoveFile(set));
    EXPECT_FALSE(RemoveFile(set));
    EXPECT_EQ(FilesIn(dir.Path()), (FolderContents{{"set.000", kAwkwardBytes}}));
}

// "wood.tga~" and "x.tgax" match "*.tga" on Windows through their short
// 8.3 aliases (WOOD~1.TGA): never taken. Names come back as UTF-8.
TEST(PlatformFileSystem, ExtensionSearchFindsNamesInAnyLetterCaseFoldersIncluded) {
    TempDir dir;
    for (const char* name : {"a.tga", "B.TGA", "c.Tga", "e.tga.bak", "f.tg", "tga", "g.DAT",
                             "h.PNG", "i.png.tga", "wood.tga~", "x.tgax", "\xD0\x94.tga"}) {
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
              (std::vector<std::string>{"B.TGA", "a.tga", "c.Tga", "d.tga", "i.png.tga",
                                        "\xD0\x94.tga"}));
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
    // A set loaded again from its own path, as the window does after a mod.
    ToolState state;
    SetLoadedSet(state, "/games/sets/A1_knights_of_the_round_board.DAT");
    SetLoadedSet(state, state.setPath);
    EXPECT_EQ(state.setName, "A1_knights_of_the_round_board.DAT");
}

}  // namespace
}  // namespace sorrelwick::test
