#include "operations/replacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "generators/chess_set_builder.h"
#include "generators/demo_set.h"
#include "generators/tga_builder.h"
#include "operations/extraction.h"
#include "operations/listing.h"
#include "platform/fault_seam.h"
#include "platform/file_system.h"
#include "report/lines.h"
#include "report/messages.h"
#include "support/report_matchers.h"
#include "support/temp_dir.h"

namespace sorrelwick::test {
namespace {

using Image = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using platform::FaultPlan;
using platform::Operation;

struct Texture {
    std::string name;
    Image image;
};

// A set holding each texture behind a material chunk that names it.
Image SetBytes(const std::vector<Texture>& textures) {
    gen::ChessSetBuilder set;
    set.Signature();
    std::uint32_t key = 1;
    for (const Texture& texture : textures) {
        set.Material({key++, 0}, texture.name).TextureImage(texture.image);
    }
    return set.Bytes();
}

Image Tga(std::uint16_t width, std::uint16_t height, std::uint8_t depth, std::uint8_t shade = 128) {
    return gen::MakeTga(width, height, depth, gen::Rgba{shade, shade, shade, 255});
}

std::string Info(const std::string& name, const Image& stored, std::string_view outcome) {
    const Image& s = stored;
    return report::TextureInfoLine(name, static_cast<std::uint16_t>(s[12] | s[13] << 8),
                                   static_cast<std::uint16_t>(s[14] | s[15] << 8), s[16], outcome);
}

std::string Named(const std::string& name, std::string_view message) {
    return report::NameMessageLine(name, message);
}

// The names a directory search of `folder` returns, in its order.
Lines SearchOrder(const std::string& folder) {
    platform::TgaSearch search(folder);
    Lines names;
    for (std::string name; search.Next(name);) names.push_back(name);
    return names;
}

class ReplaceTest : public ::testing::Test {
  protected:
    ReplaceTest() {
        std::filesystem::create_directory(folder);
        SetLoadedSet(state, setPath);
    }

    void WriteSet(const Image& bytes) { ASSERT_TRUE(gen::WriteWholeFile(setPath, bytes)); }
    void AddFile(const std::string& name, const Image& bytes) {
        ASSERT_TRUE(gen::WriteWholeFile(platform::JoinPath(folder, name), bytes));
    }
    bool Replace() { return operations::ReplaceTextures(state, folder, &log); }
    Lines Report(Lines body) const {
        return Framed(report::msg::Importing(folder, "set1.DAT"), body);
    }
    Lines LeftoversInReverseSearchOrder(const Lines& except = {}) const {
        Lines lines;
        for (const std::string& name : SearchOrder(folder)) {
            if (std::find(except.begin(), except.end(), name) != except.end()) continue;
            lines.insert(lines.begin(), Named(name, "Import failed: file not part of set1.DAT"));
        }
        return lines;
    }
    // The set is back under its path, unchanged, and no backup is left.
    void ExpectRestored(const Image& original) const {
        EXPECT_EQ(gen::ReadWholeFile(setPath), original);
        EXPECT_EQ(dir.Entries(), Lines({"set1.DAT", "tex"}));
    }

    TempDir dir;
    std::string setPath = dir.File("set1.DAT");
    std::string backupPath = dir.File("set1.000");
    std::string folder = dir.File("tex");
    ToolState state;
    report::MemoryReportLog log;
};

TEST_F(ReplaceTest, WorkedExampleLineForLineAndByteForByte) {
    const Image wood = Tga(256, 256, 24, 10), marble = Tga(128, 128, 24, 20);
    const Image felt = Tga(64, 64, 32, 30);
    const Image original =
        SetBytes({{"wood.tga", wood}, {"marble.tga", marble}, {"felt.tga", felt}});
    WriteSet(original);
    const Image newWood = Tga(256, 256, 24, 40), newMarble = Tga(64, 64, 24, 50);
    AddFile("wood.tga", newWood);
    AddFile("marble.tga", newMarble);
    AddFile("notes.tga", Tga(8, 8, 24));

    EXPECT_TRUE(Replace());
    EXPECT_EQ(log.Lines(),
              Report({
                  "  wood.tga                    256x256    24 bits  Import successful",
                  "  marble.tga                  128x128    24 bits  "
                  "Import successful: size modified (to 64x64)",
                  "  felt.tga                                        "
                  "Import failed: file not found",
                  "  notes.tga                                       "
                  "Import failed: file not part of set1.DAT",
                  "Original file renamed to set1.000",
              }));
    EXPECT_EQ(gen::ReadWholeFile(setPath),
              SetBytes({{"wood.tga", newWood}, {"marble.tga", newMarble}, {"felt.tga", felt}}));
    EXPECT_EQ(gen::ReadWholeFile(backupPath), original);
}

// One set with one texture per case, so one run shows every outcome in file
// order; `file` is what the folder holds under `fileName`.
struct OutcomeCase {
    std::string texture;
    Image stored;
    std::string fileName;
    std::optional<Image> file;
    std::optional<std::string> line;  // nullopt: the texture adds no line
    bool imported;
};

std::vector<OutcomeCase> OutcomeCases() {
    const Image stored = Tga(64, 64, 24);
    const Image header17(stored.begin(), stored.begin() + 17);
    std::vector<OutcomeCase> cases = {
        {"same.tga", stored, "same.tga", Tga(64, 64, 24, 1),
         Info("same.tga", stored, "Import successful"), true},
        {"other.tga", stored, "other.tga", Tga(32, 128, 24, 2),
         Info("other.tga", stored, "Import successful: size modified (to 32x128)"), true},
        {"deep.tga", stored, "deep.tga", Tga(64, 64, 32),
         Info("deep.tga", stored, "Import failed: wrong color depth (32 bits)"), false},
        {"both.tga", stored, "both.tga", Tga(100, 64, 32),
         Info("both.tga", stored, "Import failed: wrong color depth (32 bits)"), false},
        {"w100.tga", stored, "w100.tga", Tga(100, 64, 24),
         Info("w100.tga", stored, "Import failed: wrong size (100x64)"), false},
        {"h96.tga", stored, "h96.tga", Tga(64, 96, 24),
         Info("h96.tga", stored, "Import failed: wrong size (64x96)"), false},
        {"w0.tga", stored, "w0.tga", Tga(0, 64, 24),
         Info("w0.tga", stored, "Import successful: size modified (to 0x64)"), true},
        {"empty.tga", stored, "empty.tga", Image{},
         Named("empty.tga", "Import failed: error reading file"), false},
        {"short.tga", stored, "short.tga", Image(header17.begin(), header17.end() - 1),
         Named("short.tga", "Import failed: error reading file"), false},
        {"header.tga", stored, "header.tga", header17,
         Info("header.tga", stored, "Import successful"), true},
        {"missing.tga", stored, "", std::nullopt,
         Named("missing.tga", "Import failed: file not found"), false},
        {"wood.tga", stored, "WOOD.TGA", Tga(64, 64, 24, 3),
         Info("wood.tga", stored, "Import successful"), true},
        // A folder of the texture's name: listed, so it leaves the inventory.
        {"dir.tga", stored, "dir.tga", std::nullopt,
         Named("dir.tga", "Import failed: file not found"), false},
        {"plain.bmp", stored, "plain.bmp", Tga(64, 64, 24, 4),
         Info("plain.bmp", stored, "Import successful"), true},
        // A name that is not a plain file name is never used as a path.
        {"sub/deep.tga", stored, "", std::nullopt,
         Named("sub/deep.tga", "Import failed: file not found"), false},
        // Too short to be an image, or empty: not a texture.
        {"tiny.tga", Image(10, 7), "tiny.tga", Tga(64, 64, 24), std::nullopt, false},
        {"none.tga", Image{}, "none.tga", Tga(64, 64, 24), std::nullopt, false},
    };
#ifndef _WIN32
    // Windows can't hold this file; elsewhere it shows that the name leaves
    // the inventory before it is refused as a path.
    cases.push_back({"con.tga", stored, "con.tga", Tga(64, 64, 24),
                     Named("con.tga", "Import failed: file not found"), false});
#endif
    return cases;
}

TEST_F(ReplaceTest, EachTextureGetsItsOutcomeAndOnlyTakenFilesChangeTheSet) {
    const std::vector<OutcomeCase> cases = OutcomeCases();
    std::vector<Texture> before, after;
    Lines body;
    for (const OutcomeCase& c : cases) {
        if (c.file) AddFile(c.fileName, *c.file);
        before.push_back({c.texture, c.stored});
        after.push_back({c.texture, c.imported ? *c.file : c.stored});
        if (c.line) body.push_back(*c.line);
    }
    std::filesystem::create_directories(std::filesystem::path(folder) / "sub");
    AddFile("sub/deep.tga", Tga(64, 64, 24, 5));
    std::filesystem::create_directory(std::filesystem::path(folder) / "dir.tga");
    // Files whose textures were met leave the inventory; those of chunks that
    // are no textures stay.
    Lines met;
    for (const OutcomeCase& c : cases) {
        if (c.line && !c.fileName.empty()) met.push_back(c.fileName);
    }
    const Lines leftovers = LeftoversInReverseSearchOrder(met);
    body.insert(body.end(), leftovers.begin(), leftovers.end());
    body.push_back("Original file renamed to set1.000");
    WriteSet(SetBytes(before));

    EXPECT_TRUE(Replace());
    EXPECT_EQ(log.Lines(), Report(body));
    EXPECT_EQ(gen::ReadWholeFile(setPath), SetBytes(after));
    EXPECT_EQ(gen::ReadWholeFile(backupPath), SetBytes(before));
}

TEST_F(ReplaceTest, LeftoversFolderIncludedComeInReverseSearchOrder) {
    const Image stored = Tga(16, 16, 24);
    WriteSet(SetBytes({{"b.tga", stored}}));
    for (const char* name : {"a.tga", "b.tga", "c.tga", "d.TGA", "e.tga"}) AddFile(name, stored);
    AddFile("readme.txt", stored);
    std::filesystem::create_directory(std::filesystem::path(folder) / "old.tga");

    EXPECT_TRUE(Replace());
    Lines body = {Info("b.tga", stored, "Import successful")};
    const Lines leftovers = LeftoversInReverseSearchOrder({"b.tga"});
    ASSERT_EQ(leftovers.size(), 5u);  // old.tga among them
    body.insert(body.end(), leftovers.begin(), leftovers.end());
    body.push_back("Original file renamed to set1.000");
    EXPECT_EQ(log.Lines(), Report(body));
}

TEST_F(ReplaceTest, WithoutTgaFilesEveryTextureIsNotFoundAndTheSetIsRewrittenUnchanged) {
    const Image original = SetBytes({{"wood.tga", Tga(16, 16, 24)}, {"felt.tga", Tga(8, 8, 32)}});
    AddFile("notes.txt", Image(20, 1));
    for (const std::string& where : {std::string("tex"), std::string("absent")}) {
        SCOPED_TRACE(where);
        std::filesystem::remove(backupPath);
        WriteSet(original);
        folder = dir.File(where);
        log = {};

        EXPECT_TRUE(Replace());
        EXPECT_EQ(log.Lines(), Report({Named("wood.tga", "Import failed: file not found"),
                                       Named("felt.tga", "Import failed: file not found"),
                                       "Original file renamed to set1.000"}));
        EXPECT_EQ(gen::ReadWholeFile(setPath), original);
        EXPECT_EQ(gen::ReadWholeFile(backupPath), original);
    }
}

TEST_F(ReplaceTest, TwoImagesUnderOneNameAreBothReplacedFromTheOneFile) {
    const Image first = Tga(32, 32, 24), second = Tga(16, 16, 24), file = Tga(64, 64, 24, 9);
    gen::ChessSetBuilder set;
    set.Signature().TextureReference("wood.tga").TextureImage(first).TextureImage(second);
    WriteSet(set.Bytes());
    AddFile("wood.tga", file);

    EXPECT_TRUE(Replace());
    const std::string outcome = "Import successful: size modified (to 64x64)";
    EXPECT_EQ(log.Lines(),
              Report({Info("wood.tga", first, outcome), Info("wood.tga", second, outcome),
                      "Original file renamed to set1.000"}));
    gen::ChessSetBuilder expected;
    expected.Signature().TextureReference("wood.tga").TextureImage(file).TextureImage(file);
    EXPECT_EQ(gen::ReadWholeFile(setPath), expected.Bytes());
}

TEST_F(ReplaceTest, GuardsAddTheirOneLineAndTouchNothing) {
    const Image original = SetBytes({{"wood.tga", Tga(16, 16, 24)}});
    WriteSet(original);
    AddFile("wood.tga", Tga(32, 32, 24));

    EXPECT_FALSE(operations::ReplaceTextures(state, folder, nullptr));
    EXPECT_FALSE(operations::ReplaceTextures(state, "", &log));
    EXPECT_FALSE(operations::ReplaceTextures(ToolState{}, folder, &log));
    EXPECT_EQ(log.Lines(),
              Lines({"Error - Invalid import path", "Error - Invalid load/save path"}));
    ExpectRestored(original);
}

// Failures through the fault seam. Chunk order: signature, then per texture a
// material chunk and its image; wood.tga comes first.
struct FaultCase {
    std::string what;
    FaultPlan plan;
    Lines bodyBeforeLeftovers;
    Lines exceptFromLeftovers;
    bool succeeds;
    bool woodImported;
};

TEST_F(ReplaceTest, FailuresEndInTheRestoreAndPerTextureFaultsOnlyInTheirLine) {
    const Image wood = Tga(16, 16, 24), marble = Tga(16, 16, 24), newFile = Tga(16, 16, 24, 7);
    const Image original = SetBytes({{"wood.tga", wood}, {"marble.tga", marble}});
    const std::string marbleLine = Info("marble.tga", marble, "Import successful");
    const std::string notFound = Named("wood.tga", "Import failed: file not found");
    const Lines taken = {"wood.tga", "marble.tga"};
    const std::vector<FaultCase> cases = {
        // The texture files' closes come before those of the set's two files.
        {"texture file can't be closed",
         {Operation::Close, 1, false},
         {marbleLine, "Error - Could not close wood.tga"},
         taken,
         false,
         false},
        // Writes: signature header, material header and payload, image header.
        {"imported chunk can't be written",
         {Operation::Write, 4, false},
         {marbleLine, "Error - Could not write set1.DAT"},
         taken,
         false,
         false},
        // The second of the folder's four entries can't be had.
        {"inventory can't be completed",
         {Operation::Allocate, 2, false},
         {"Error - Not enough memory"},
         {},
         false,
         false},
        // Four inventory entries, the material and image payloads, the image.
        {"no memory for the file image",
         {Operation::Allocate, 7, false},
         {Named("wood.tga", "Import failed: not enough memory"), marbleLine},
         taken,
         true,
         false},
        // Opens: backup, new file, wood.tga.
        {"texture file can't be opened",
         {Operation::Open, 3, false},
         {notFound, marbleLine},
         taken,
         true,
         false},
        // Reads: signature; material header, payload; image header, payload.
        {"texture file can't be read",
         {Operation::Read, 6, false},
         {Named("wood.tga", "Import failed: error reading file"), marbleLine},
         taken,
         true,
         false},
    };
    AddFile("wood.tga", newFile);
    AddFile("marble.tga", marble);
    AddFile("notes.tga", wood);
    AddFile("extra.tga", wood);
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(backupPath);
        WriteSet(original);
        log = {};
        Lines body = c.bodyBeforeLeftovers;
        const Lines leftovers = c.plan.kind == Operation::Allocate && !c.succeeds
                                    ? Lines{Named(SearchOrder(folder).front(),
                                                  "Import failed: file not part of set1.DAT")}
                                    : LeftoversInReverseSearchOrder(c.exceptFromLeftovers);
        body.insert(body.end(), leftovers.begin(), leftovers.end());
        if (c.succeeds) body.push_back("Original file renamed to set1.000");

        bool result = true;
        {
            platform::ScopedFault fault(c.plan);
            result = Replace();
            EXPECT_TRUE(platform::FaultFired());
        }
        EXPECT_EQ(result, c.succeeds);
        EXPECT_EQ(log.Lines(), Report(body));
        if (c.succeeds) {
            EXPECT_EQ(
                gen::ReadWholeFile(setPath),
                SetBytes({{"wood.tga", c.woodImported ? newFile : wood}, {"marble.tga", marble}}));
        } else {
            ExpectRestored(original);
        }
    }
}

// Extract a demo set, edit its textures with our TGA builder (same size,
// other size, wrong depth in turn), replace, then list and extract again.
TEST_F(ReplaceTest, DemoSetsRoundTripThroughExtraction) {
    for (unsigned style = 0; style < gen::kDemoStyleCount; ++style) {
        SCOPED_TRACE(style);
        const gen::DemoSet demo = gen::BuildDemoSet(style);
        const std::string path = dir.File(demo.fileName);
        const std::string out = dir.File("out" + std::to_string(style));
        const std::string again = dir.File("again" + std::to_string(style));
        std::filesystem::create_directory(out);
        std::filesystem::create_directory(again);
        ASSERT_TRUE(gen::WriteWholeFile(path, demo.bytes));
        SetLoadedSet(state, path);
        ASSERT_TRUE(operations::ExtractTextures(state, out, &log));

        Lines listing;
        std::vector<Image> expected;
        for (std::size_t i = 0; i < demo.textures.size(); ++i) {
            const gen::DemoTexture& t = demo.textures[i];
            ASSERT_EQ(gen::ReadWholeFile(platform::JoinPath(out, t.name)), t.tga);
            const auto width = static_cast<std::uint16_t>(i % 3 == 1 ? t.width * 2 : t.width);
            const auto depth =
                static_cast<std::uint8_t>(i % 3 == 2 ? (t.depth == 24 ? 32 : 24) : t.depth);
            const Image edited = gen::MakeTga(width, t.height, depth, [i](unsigned x, unsigned y) {
                return gen::Rgba{static_cast<std::uint8_t>(x + i), static_cast<std::uint8_t>(y), 77,
                                 200};
            });
            ASSERT_TRUE(gen::WriteWholeFile(platform::JoinPath(out, t.name), edited));
            const bool taken = i % 3 != 2;
            listing.push_back(
                report::TextureInfoLine(t.name, taken ? width : t.width, t.height, t.depth));
            expected.push_back(taken ? edited : t.tga);
        }
        ASSERT_TRUE(operations::ReplaceTextures(state, out, &log));

        log = {};
        ASSERT_TRUE(operations::ListTextures(state, &log));
        EXPECT_EQ(log.Lines(), Framed(report::msg::Loading(demo.fileName), listing));
        ASSERT_TRUE(operations::ExtractTextures(state, again, &log));
        for (std::size_t i = 0; i < demo.textures.size(); ++i) {
            EXPECT_EQ(gen::ReadWholeFile(platform::JoinPath(again, demo.textures[i].name)),
                      expected[i]);
        }
    }
}

}  // namespace
}  // namespace sorrelwick::test
