// Texture extraction: the report lines and the files it leaves in the folder.

#include "operations/extraction.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cli/run_command.h"
#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"
#include "platform/fault_seam.h"
#include "platform/file_system.h"
#include "report/report_log.h"
#include "support/report_matchers.h"
#include "support/temp_dir.h"

namespace sorrelwick::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using platform::FaultPlan;
using platform::Operation;

const std::string kSuccessful = "Export successful";
const std::string kCreateFailed = "Export failed: error creating file";
const std::string kWriteFailed = "Export failed: error writing file";

// The TextureInfoLine of a name of up to 27 characters: size from column 30,
// depth from 41, outcome from 50.
std::string Info(const std::string& name, const std::string& size, int depth,
                 const std::string& outcome) {
    std::string line = "  " + name;
    line.resize(30, ' ');
    line += size;
    line.resize(41, ' ');
    line += std::to_string(depth) + " bits";
    line.resize(50, ' ');
    return line + outcome;
}

std::string AlreadyExists(const std::string& name) {
    std::string line = "  " + name;
    line.resize(50, ' ');
    return line + "Export failed: file already exists";
}

Bytes Image(std::uint16_t width, std::uint16_t height, std::uint8_t depth) {
    return gen::MakeTga(width, height, depth, [](unsigned x, unsigned y) {
        return gen::Rgba{static_cast<std::uint8_t>(x * 37), static_cast<std::uint8_t>(y * 59),
                         static_cast<std::uint8_t>(x ^ y), static_cast<std::uint8_t>(200 + x)};
    });
}

const Bytes kWood = Image(8, 4, 24);
const Bytes kMarble = Image(4, 16, 32);
const Bytes kKept = {'k', 'e', 'p', 't'};

struct Texture {
    std::string name;
    Bytes image;
};

// Each texture behind its own texture reference chunk, as most sets hold them.
gen::ChessSetBuilder SetOf(const std::vector<Texture>& textures) {
    gen::ChessSetBuilder set;
    set.Signature();
    for (const Texture& texture : textures) {
        set.TextureReference(texture.name).TextureImage(texture.image);
    }
    return set;
}

const std::vector<Texture> kWoodAndMarble = {{"wood.tga", kWood}, {"marble.tga", kMarble}};

class ExtractionTest : public ::testing::Test {
  protected:
    void WriteSet(const gen::ChessSetBuilder& set) { ASSERT_TRUE(set.WriteTo(setPath_)); }

    bool Extract(const std::string& folder) {
        ToolState state;
        SetLoadedSet(state, setPath_);
        return operations::ExtractTextures(state, folder, &log_);
    }
    bool Extract() { return Extract(Folder()); }

    std::string Folder() const { return out_.Path().string(); }
    std::string Title() const { return "Exporting set1.DAT's textures to " + Folder(); }
    Bytes Extracted(const std::string& name) const { return gen::ReadWholeFile(out_.File(name)); }
    const Lines& Report() const { return log_.Lines(); }

    TempDir setDir_;
    TempDir out_;
    std::string setPath_ = setDir_.File("set1.DAT");
    report::MemoryReportLog log_;
};

TEST_F(ExtractionTest, GuardsAddTheirSingleLineAndWriteNothing) {
    WriteSet(SetOf(kWoodAndMarble));
    ToolState loaded;
    SetLoadedSet(loaded, setPath_);
    const struct {
        ToolState state;
        std::string folder;
        std::string line;
    } cases[] = {
        {ToolState{}, Folder(), "Error - Invalid load path"},
        {ToolState{}, "", "Error - Invalid load path"},
        {loaded, "", "Error - Invalid extract path"},
    };
    for (const auto& c : cases) {
        report::MemoryReportLog log;
        EXPECT_FALSE(operations::ExtractTextures(c.state, c.folder, &log));
        EXPECT_EQ(log.Lines(), Lines{c.line});
    }
    EXPECT_FALSE(operations::ExtractTextures(loaded, Folder(), nullptr));
    EXPECT_TRUE(out_.Entries().empty());
}

TEST_F(ExtractionTest, WritesEveryTextureByteForByteUnderTheFolderExactlyAsPassed) {
    WriteSet(SetOf(kWoodAndMarble));
    // Not normalised, and with a "%" that must stay as it is.
    std::filesystem::create_directory(out_.Path() / "100%s");
    const std::string folder = platform::JoinPath(out_.File("100%s"), ".");

    EXPECT_TRUE(Extract(folder));
    EXPECT_EQ(Report(),
              Framed("Exporting set1.DAT's textures to " + folder,
                     {"  wood.tga                    8x4        24 bits  Export successful",
                      Info("marble.tga", "4x16", 32, kSuccessful)}));
    EXPECT_EQ(gen::ReadWholeFile(platform::JoinPath(folder, "wood.tga")), kWood);
    EXPECT_EQ(gen::ReadWholeFile(platform::JoinPath(folder, "marble.tga")), kMarble);
}

TEST_F(ExtractionTest, EachPerTextureOutcome) {
    struct Case {
        const char* label;
        FaultPlan fault;
        bool woodExists;
        Lines body;
        bool result;
        Lines files;
    };
    const std::string marbleOk = Info("marble.tga", "4x16", 32, kSuccessful);
    const std::string woodOk = Info("wood.tga", "8x4", 24, kSuccessful);
    const Case cases[] = {
        {"written and closed", {}, false, {woodOk, marbleOk}, true, {"marble.tga", "wood.tga"}},
        {"already exists",
         {},
         true,
         {AlreadyExists("wood.tga"), marbleOk},
         true,
         {"marble.tga", "wood.tga"}},
        // The first open is the chess-set file's.
        {"cannot be created",
         {Operation::Open, 2},
         false,
         {Info("wood.tga", "8x4", 24, kCreateFailed), marbleOk},
         true,
         {"marble.tga"}},
        {"cannot be written",
         {Operation::Write, 1},
         false,
         {Info("wood.tga", "8x4", 24, kWriteFailed), marbleOk},
         true,
         {"marble.tga"}},
        {"written, not closed",
         {Operation::Close, 1},
         false,
         {marbleOk, "Error - Could not close wood.tga"},
         false,
         {"marble.tga"}},
        {"second not closed",
         {Operation::Close, 2},
         false,
         {woodOk, "Error - Could not close marble.tga"},
         false,
         {"wood.tga"}},
        // The latest held failure is the one shown; the set's close follows.
        {"no close works",
         {Operation::Close, 1, true},
         false,
         {"Error - Could not close marble.tga", "Error - Could not close set1.DAT"},
         false,
         {}},
    };
    WriteSet(SetOf(kWoodAndMarble));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir out;
        if (c.woodExists) {
            ASSERT_TRUE(gen::WriteWholeFile(out.File("wood.tga"), kKept));
        }
        ToolState state;
        SetLoadedSet(state, setPath_);
        report::MemoryReportLog log;
        bool result = false;
        {
            platform::ScopedFault fault(c.fault);
            result = operations::ExtractTextures(state, out.Path().string(), &log);
        }
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(log.Lines(),
                  Framed("Exporting set1.DAT's textures to " + out.Path().string(), c.body));
        // Failed writes and closes leave no file behind; the rest are whole.
        EXPECT_EQ(out.Entries(), c.files);
        for (const std::string& name : out.Entries()) {
            const Bytes& expected = c.woodExists && name == "wood.tga" ? kKept
                                    : name == "wood.tga"               ? kWood
                                                                       : kMarble;
            EXPECT_EQ(gen::ReadWholeFile(out.File(name)), expected) << name;
        }
    }
}

TEST_F(ExtractionTest, FailuresOfTheChessSetFile) {
    const gen::ChessSetBuilder whole = SetOf(kWoodAndMarble);
    const gen::ChessSetBuilder wrongSignature = gen::ChessSetBuilder()
                                                    .ChunkClaiming(0x716D0DA5, 0, 0, {})
                                                    .TextureReference("wood.tga")
                                                    .TextureImage(kWood);
    const gen::ChessSetBuilder cutOff = SetOf({{"wood.tga", kWood}})
                                            .TextureReference("marble.tga")
                                            .ChunkClaiming(3, 0, 1000, kMarble);
    const std::string woodOk = Info("wood.tga", "8x4", 24, kSuccessful);
    const std::string marbleOk = Info("marble.tga", "4x16", 32, kSuccessful);
    const std::string bad =
        "Error - Bad file format. set1.DAT isn't a proper Tessaravine chess set.";
    const struct {
        const char* label;
        const gen::ChessSetBuilder* set;  // nullptr: no file at all
        FaultPlan fault;
        Lines body;
        Lines files;
    } cases[] = {
        {"missing", nullptr, {}, {"Error - Could not open set1.DAT"}, {}},
        {"not opened", &whole, {Operation::Open, 1}, {"Error - Could not open set1.DAT"}, {}},
        {"bad format", &wrongSignature, {}, {bad}, {}},
        {"cut off", &cutOff, {}, {woodOk, "Error - Could not read set1.DAT"}, {"wood.tga"}},
        // Reads: signature, then header and payload of each chunk in turn.
        {"read error",
         &whole,
         {Operation::Read, 6},
         {woodOk, "Error - Could not read set1.DAT"},
         {"wood.tga"}},
        // Allocations: one payload per chunk; the fourth is marble's image.
        {"no memory",
         &whole,
         {Operation::Allocate, 4},
         {woodOk, "Error - Not enough memory"},
         {"wood.tga"}},
        {"not closed",
         &whole,
         {Operation::Close, 3},
         {woodOk, marbleOk, "Error - Could not close set1.DAT"},
         {"marble.tga", "wood.tga"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove(setPath_);
        if (c.set) WriteSet(*c.set);
        TempDir out;
        ToolState state;
        SetLoadedSet(state, setPath_);
        report::MemoryReportLog log;
        bool result = true;
        {
            platform::ScopedFault fault(c.fault);
            result = operations::ExtractTextures(state, out.Path().string(), &log);
        }
        EXPECT_FALSE(result);
        EXPECT_EQ(log.Lines(),
                  Framed("Exporting set1.DAT's textures to " + out.Path().string(), c.body));
        EXPECT_EQ(out.Entries(), c.files);
    }
}

TEST_F(ExtractionTest, ExtractingTwiceLeavesTheFirstFilesAlone) {
    WriteSet(SetOf(kWoodAndMarble));
    ASSERT_TRUE(Extract());
    // An edited texture must survive a second extraction.
    ASSERT_TRUE(gen::WriteWholeFile(out_.File("wood.tga"), kKept));
    report::MemoryReportLog second;
    ToolState state;
    SetLoadedSet(state, setPath_);

    EXPECT_TRUE(operations::ExtractTextures(state, Folder(), &second));
    EXPECT_EQ(second.Lines(),
              Framed(Title(), {AlreadyExists("wood.tga"), AlreadyExists("marble.tga")}));
    EXPECT_EQ(Extracted("wood.tga"), kKept);
    EXPECT_EQ(Extracted("marble.tga"), kMarble);
}

TEST_F(ExtractionTest, TwoImagesUnderOneNameKeepTheFirst) {
    WriteSet(gen::ChessSetBuilder()
                 .Signature()
                 .TextureReference("wood.tga")
                 .TextureImage(kWood)
                 .TextureImage(kMarble));
    EXPECT_TRUE(Extract());
    EXPECT_EQ(Report(), Framed(Title(), {Info("wood.tga", "8x4", 24, kSuccessful),
                                         AlreadyExists("wood.tga")}));
    EXPECT_EQ(Extracted("wood.tga"), kWood);
}

TEST_F(ExtractionTest, FilesAlreadyThereAreSkippedInFileOrder) {
    const Bytes stone = Image(2, 2, 24);
    WriteSet(SetOf({{"wood.tga", kWood}, {"marble.tga", kMarble}, {"stone.tga", stone}}));
    ASSERT_TRUE(gen::WriteWholeFile(out_.File("marble.tga"), kKept));

    EXPECT_TRUE(Extract());
    EXPECT_EQ(Report(), Framed(Title(), {Info("wood.tga", "8x4", 24, kSuccessful),
                                         AlreadyExists("marble.tga"),
                                         Info("stone.tga", "2x2", 24, kSuccessful)}));
    EXPECT_EQ(Extracted("marble.tga"), kKept);
    EXPECT_EQ(Extracted("stone.tga"), stone);
}

TEST_F(ExtractionTest, NamesThatAreNoPlainFileNamesAreNeverUsedAsPaths) {
    const std::vector<std::string> unsafe = {"sub\\x.tga", "sub/x.tga", "c:x.tga", ".",   "..",
                                             "CON",        "nul.tga",   "Com1.x",  "LPT9"};
    const std::vector<std::string> plain = {"CONSOLE.tga", "COM0.tga"};
    std::vector<Texture> textures;
    Lines body;
    for (const std::string& name : unsafe) {
        textures.push_back({name, kWood});
        body.push_back(Info(name, "8x4", 24, kCreateFailed));
    }
    for (const std::string& name : plain) {
        textures.push_back({name, kWood});
        body.push_back(Info(name, "8x4", 24, kSuccessful));
    }
    WriteSet(SetOf(textures));
    std::filesystem::create_directory(out_.Path() / "sub");

    EXPECT_TRUE(Extract());
    EXPECT_EQ(Report(), Framed(Title(), body));
    EXPECT_EQ(out_.Entries(), (Lines{"COM0.tga", "CONSOLE.tga", "sub"}));
    EXPECT_TRUE(std::filesystem::is_empty(out_.Path() / "sub"));
    EXPECT_EQ(setDir_.Entries(), Lines{"set1.DAT"});
}

TEST_F(ExtractionTest, TargetsThatCannotBeCreated) {
    // Longer than any file system takes as one name.
    const std::string longName(259, 'w');
    WriteSet(SetOf({{"wood.tga", kWood}, {longName, kMarble}}));
    const std::string missing = out_.File("missing");

    EXPECT_TRUE(Extract(missing));
    EXPECT_EQ(Report(), Framed("Exporting set1.DAT's textures to " + missing,
                               {Info("wood.tga", "8x4", 24, kCreateFailed),
                                "  " + longName + " 4x16 32 bits " + kCreateFailed}));
    EXPECT_FALSE(std::filesystem::exists(missing));

    report::MemoryReportLog log;
    ToolState state;
    SetLoadedSet(state, setPath_);
    EXPECT_TRUE(operations::ExtractTextures(state, Folder(), &log));
    EXPECT_EQ(log.Lines()[4], "  " + longName + " 4x16 32 bits " + kCreateFailed);
    EXPECT_EQ(out_.Entries(), Lines{"wood.tga"});
}

TEST_F(ExtractionTest, ImagesThatAreNoTexturesAddNoLine) {
    const Bytes tiny(kWood.begin(), kWood.begin() + 17);
    const Bytes cut(kWood.begin(), kWood.begin() + 16);
    WriteSet(gen::ChessSetBuilder()
                 .Signature()
                 .TextureReference("empty.tga")
                 .ChunkClaiming(3, 0, 0, {})
                 .ObjectName({1, 2}, "pawn")
                 .TextureImage(kWood)
                 .Material({3, 4}, "")
                 .TextureImage(kWood)
                 .TextureReference("cut.tga")
                 .TextureImage(cut)
                 .TextureReference("tiny.tga")
                 .TextureImage(tiny));

    EXPECT_TRUE(Extract());
    EXPECT_EQ(Report(), Framed(Title(), {Info("tiny.tga", "8x4", 24, kSuccessful)}));
    EXPECT_EQ(out_.Entries(), Lines{"tiny.tga"});
    EXPECT_EQ(Extracted("tiny.tga"), tiny);
}

TEST_F(ExtractionTest, ExtractCommandRunsTheExtraction) {
    WriteSet(SetOf(kWoodAndMarble));
    cli::CliRequest request;
    request.command = cli::Command::Extract;
    request.setPath = setPath_;
    request.folder = Folder();
    ToolState state;
    SetLoadedSet(state, request.setPath);
    const cli::OperationRunner run = cli::RunnerFor(cli::Command::Extract);
    ASSERT_NE(run, nullptr);

    EXPECT_TRUE(run(request, state, log_));
    EXPECT_EQ(Report()[1], Title());
    EXPECT_EQ(out_.Entries(), (Lines{"marble.tga", "wood.tga"}));
}

#ifndef _WIN32
// What a real TGA reader makes of a file: "format width height".
std::string Identify(const std::string& path) {
    const std::string command = "identify -format '%m %w %h' '" + path + "' 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return "popen failed";
    std::string text;
    char buffer[256];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        text.append(buffer, got);
    ::pclose(pipe);
    return text;
}

TEST_F(ExtractionTest, ExtractedFilesAreReadByATgaReader) {
    if (std::system("identify -version > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ImageMagick's identify is not installed";
    }
    const std::map<std::string, Bytes> images = {{"board.tga", Image(64, 32, 24)},
                                                 {"pieces.tga", Image(16, 128, 32)},
                                                 {"odd.tga", Image(5, 3, 24)}};
    std::vector<Texture> textures;
    for (const auto& [name, image] : images) textures.push_back({name, image});
    WriteSet(SetOf(textures));

    ASSERT_TRUE(Extract());
    EXPECT_EQ(Identify(out_.File("board.tga")), "TGA 64 32");
    EXPECT_EQ(Identify(out_.File("pieces.tga")), "TGA 16 128");
    EXPECT_EQ(Identify(out_.File("odd.tga")), "TGA 5 3");
    for (const auto& [name, image] : images) EXPECT_EQ(Extracted(name), image) << name;
}
#endif

}  // namespace
}  // namespace sorrelwick::test
