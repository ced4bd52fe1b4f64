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

    // Extracts the set into `folder` with `fault` armed; Report() gives the lines.
    bool Extract(const std::string& folder, const FaultPlan& fault = {}) {
        ToolState state;
        SetLoadedSet(state, setPath_);
        report::MemoryReportLog log;
        bool result = false;
        {
            const platform::ScopedFault armed(fault);
            result = operations::ExtractTextures(state, folder, &log);
        }
        report_ = log.Lines();
        return result;
    }
    bool Extract() { return Extract(Folder()); }

    std::string Folder() const { return out_.Path().string(); }
    Bytes Extracted(const std::string& name) const { return gen::ReadWholeFile(out_.File(name)); }
    const Lines& Report() const { return report_; }

    void EmptyFolder() const {
        for (const auto& entry : std::filesystem::directory_iterator(out_.Path())) {
            std::filesystem::remove_all(entry.path());
        }
    }

    TempDir setDir_;
    TempDir out_;
    std::string setPath_ = setDir_.File("set1.DAT");
    Lines report_;
};

std::string Title(const std::string& folder) {
    return "Exporting set1.DAT's textures to " + folder;
}

const std::string kWoodOk = Info("wood.tga", "8x4", 24, kSuccessful);
const std::string kMarbleOk = Info("marble.tga", "4x16", 32, kSuccessful);

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
    EXPECT_EQ(
        Report(),
        Framed("Exporting set1.DAT's textures to " + folder,
               {"  wood.tga                    8x4        24 bits  Export successful", kMarbleOk}));
    EXPECT_EQ(gen::ReadWholeFile(platform::JoinPath(folder, "wood.tga")), kWood);
    EXPECT_EQ(gen::ReadWholeFile(platform::JoinPath(folder, "marble.tga")), kMarble);
}

TEST_F(ExtractionTest, EachPerTextureOutcome) {
    const std::string woodNotCreated = Info("wood.tga", "8x4", 24, kCreateFailed);
    const std::string woodNotWritten = Info("wood.tga", "8x4", 24, kWriteFailed);
    const struct {
        const char* label;
        FaultPlan fault;
        bool woodExists;
        Lines body;
        bool result;
        Lines files;
    } cases[] = {
        // clang-format off
        {"written and closed", {}, false, {kWoodOk, kMarbleOk}, true, {"marble.tga", "wood.tga"}},
        {"already exists", {}, true, {AlreadyExists("wood.tga"), kMarbleOk}, true,
         {"marble.tga", "wood.tga"}},
        // The first open is the chess-set file's.
        {"not created", {Operation::Open, 2}, false, {woodNotCreated, kMarbleOk}, true,
         {"marble.tga"}},
        {"not written", {Operation::Write, 1}, false, {woodNotWritten, kMarbleOk}, true,
         {"marble.tga"}},
        {"not closed", {Operation::Close, 1}, false,
         {kMarbleOk, "Error - Could not close wood.tga"}, false, {"marble.tga"}},
        {"second not closed", {Operation::Close, 2}, false,
         {kWoodOk, "Error - Could not close marble.tga"}, false, {"wood.tga"}},
        // Only the latest held failure is shown; the set's own close follows.
        {"no close works", {Operation::Close, 1, true}, false,
         {"Error - Could not close marble.tga", "Error - Could not close set1.DAT"}, false, {}},
        // clang-format on
    };
    WriteSet(SetOf(kWoodAndMarble));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EmptyFolder();
        if (c.woodExists) {
            ASSERT_TRUE(gen::WriteWholeFile(out_.File("wood.tga"), kKept));
        }
        EXPECT_EQ(Extract(Folder(), c.fault), c.result);
        EXPECT_EQ(Report(), Framed(Title(Folder()), c.body));
        // Failed writes and closes leave no file behind; the rest are whole.
        EXPECT_EQ(out_.Entries(), c.files);
        if (!c.files.empty() && c.files.back() == "wood.tga") {
            EXPECT_EQ(Extracted("wood.tga"), c.woodExists ? kKept : kWood);
        }
        if (!c.files.empty() && c.files.front() == "marble.tga") {
            EXPECT_EQ(Extracted("marble.tga"), kMarble);
        }
    }
}

TEST_F(ExtractionTest, FailuresOfTheChessSetFile) {
    const gen::ChessSetBuilder whole = SetOf(kWoodAndMarble);
    const gen::ChessSetBuilder wrongSignature =
        gen::ChessSetBuilder().ChunkClaiming(0x716D0DA5, 0, 0, {}).Raw(whole.Bytes());
    const gen::ChessSetBuilder cutOff = SetOf({{"wood.tga", kWood}})
                                            .TextureReference("marble.tga")
                                            .ChunkClaiming(3, 0, 1000, kMarble);
    const std::string notOpened = "Error - Could not open set1.DAT";
    const std::string notRead = "Error - Could not read set1.DAT";
    const struct {
        const char* label;
        const gen::ChessSetBuilder* set;  // nullptr: no file at all
        FaultPlan fault;
        Lines body;
        Lines files;
    } cases[] = {
        // clang-format off
        {"missing", nullptr, {}, {notOpened}, {}},
        {"not opened", &whole, {Operation::Open, 1}, {notOpened}, {}},
        {"bad format", &wrongSignature, {},
         {"Error - Bad file format. set1.DAT isn't a proper Tessaravine chess set."}, {}},
        // Textures written before the failure stay.
        {"cut off", &cutOff, {}, {kWoodOk, notRead}, {"wood.tga"}},
        // Reads: the signature, then header and payload of each chunk in turn.
        {"read error", &whole, {Operation::Read, 6}, {kWoodOk, notRead}, {"wood.tga"}},
        // Allocations: one per payload; the fourth is marble's image.
        {"no memory", &whole, {Operation::Allocate, 4}, {kWoodOk, "Error - Not enough memory"},
         {"wood.tga"}},
        {"not closed", &whole, {Operation::Close, 3},
         {kWoodOk, kMarbleOk, "Error - Could not close set1.DAT"}, {"marble.tga", "wood.tga"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove(setPath_);
        if (c.set) WriteSet(*c.set);
        EmptyFolder();

        EXPECT_FALSE(Extract(Folder(), c.fault));
        EXPECT_EQ(Report(), Framed(Title(Folder()), c.body));
        EXPECT_EQ(out_.Entries(), c.files);
    }
}

TEST_F(ExtractionTest, ExtractingTwiceLeavesTheFirstFilesAlone) {
    WriteSet(SetOf(kWoodAndMarble));
    ASSERT_TRUE(Extract());
    // An edited texture must survive a second extraction.
    ASSERT_TRUE(gen::WriteWholeFile(out_.File("wood.tga"), kKept));

    EXPECT_TRUE(Extract());
    EXPECT_EQ(Report(),
              Framed(Title(Folder()), {AlreadyExists("wood.tga"), AlreadyExists("marble.tga")}));
    EXPECT_EQ(Extracted("wood.tga"), kKept);
    EXPECT_EQ(Extracted("marble.tga"), kMarble);
}

TEST_F(ExtractionTest, TwoImagesUnderOneNameKeepTheFirst) {
    WriteSet(SetOf({{"wood.tga", kWood}}).TextureImage(kMarble));
    EXPECT_TRUE(Extract());
    EXPECT_EQ(Report(), Framed(Title(Folder()), {kWoodOk, AlreadyExists("wood.tga")}));
    EXPECT_EQ(Extracted("wood.tga"), kWood);
}

TEST_F(ExtractionTest, FilesAlreadyThereAreSkippedInFileOrder) {
    const Bytes stone = Image(2, 2, 24);
    WriteSet(SetOf({{"wood.tga", kWood}, {"marble.tga", kMarble}, {"stone.tga", stone}}));
    ASSERT_TRUE(gen::WriteWholeFile(out_.File("marble.tga"), kKept));

    EXPECT_TRUE(Extract());
    EXPECT_EQ(Report(), Framed(Title(Folder()), {kWoodOk, AlreadyExists("marble.tga"),
                                                 Info("stone.tga", "2x2", 24, kSuccessful)}));
    EXPECT_EQ(Extracted("marble.tga"), kKept);
    EXPECT_EQ(Extracted("stone.tga"), stone);
}

TEST_F(ExtractionTest, NamesThatAreNoPlainFileNamesAreNeverUsedAsPaths) {
    const Lines unsafe = {"sub\\x.tga", "sub/x.tga", "c:x.tga", ".",   "..",
                          "CON",        "nul.tga",   "Com1.x",  "LPT9", "con .tga", "COM\xB9.tga"};
    const Lines plain = {"CONSOLE.tga", "COM0.tga"};
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
    EXPECT_EQ(Report(), Framed(Title(Folder()), body));
    EXPECT_EQ(out_.Entries(), (Lines{"COM0.tga", "CONSOLE.tga", "sub"}));
    EXPECT_TRUE(std::filesystem::is_empty(out_.Path() / "sub"));
    EXPECT_EQ(setDir_.Entries(), Lines{"set1.DAT"});
}

TEST_F(ExtractionTest, TargetsThatCannotBeCreated) {
    // Longer than any file system takes as one name.
    const std::string longName(259, 'w');
    const std::string longLine = "  " + longName + " 4x16 32 bits " + kCreateFailed;
    WriteSet(SetOf({{"wood.tga", kWood}, {longName, kMarble}}));
    const std::string missing = out_.File("missing");

    EXPECT_TRUE(Extract(missing));
    EXPECT_EQ(Report(),
              Framed(Title(missing), {Info("wood.tga", "8x4", 24, kCreateFailed), longLine}));
    EXPECT_FALSE(std::filesystem::exists(missing));

    EXPECT_TRUE(Extract());
    EXPECT_EQ(Report(), Framed(Title(Folder()), {kWoodOk, longLine}));
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
    EXPECT_EQ(Report(), Framed(Title(Folder()), {Info("tiny.tga", "8x4", 24, kSuccessful)}));
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

    report::MemoryReportLog log;
    EXPECT_TRUE(run(request, state, log));
    EXPECT_EQ(log.Lines(), Framed(Title(Folder()), {kWoodOk, kMarbleOk}));
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
