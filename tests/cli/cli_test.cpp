// sorrelwick-cli and make-demo-sets seen from outside: exit status, standard
// output and standard error of the real programs.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/process_run.h"
#include "generators/chess_set_builder.h"
#include "generators/demo_set.h"
#include "generators/tga_builder.h"
#include "report/lines.h"
#include "support/report_matchers.h"
#include "support/temp_dir.h"

namespace sorrelwick::test {
namespace {

using Lines = std::vector<std::string>;

const std::string kCli = SORRELWICK_CLI_PATH;

// The demo sets are the ones make-demo-sets wrote before this test ran.
TEST(CliList, PrintsTheListingOfEachDemoSet) {
    for (unsigned style = 0; style < gen::kDemoStyleCount; ++style) {
        const gen::DemoSet set = gen::BuildDemoSet(style);
        Lines body;
        for (const gen::DemoTexture& t : set.textures) {
            body.push_back(report::TextureInfoLine(t.name, t.width, t.height, t.depth));
        }
        const ProcessRun run =
            RunProcess(kCli, {"list", std::string(DEMO_SET_FOLDER) + "/" + set.fileName});
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(OutputLines(run.standardOutput), Framed("Loading " + set.fileName, body));
        EXPECT_EQ(run.standardError, "");
    }
}

// A name holding control bytes prints them as '?', so each report line
// stays one output line; a texture named twice finds its file by letter
// case both times.
TEST(Cli, ExtractReplaceAndSpecularRunOnTheSetAsGiven) {
    const TempDir dir;
    const std::string set = dir.File("set.DAT"), folder = dir.File("tex");
    const std::string control = "ctl\n\x1B[2K\x7F.tga", printed = "ctl??[2K?.tga";
    const auto pawnSet = [&](std::uint8_t amplitude, std::uint8_t shininess, std::uint16_t side) {
        return gen::ChessSetBuilder()
            .Signature()
            .Material({1, 1}, "wood.tga", amplitude, shininess)
            .TextureImage(gen::MakeTga(side, side, 24))
            .Object({2, 2}, {{1, 1}})
            .ObjectName({2, 2}, "PawnW")
            .TextureReference(control)
            .TextureImage(gen::MakeTga(2, 2, 24))
            .TextureReference("dup.tga")
            .TextureImage(gen::MakeTga(side, side, 24))
            .TextureImage(gen::MakeTga(side, side, 24));
    };
    ASSERT_TRUE(pawnSet(200, 50, 2).WriteTo(set));
    std::filesystem::create_directory(folder);
    const auto expect = [](const std::vector<std::string>& arguments, const Lines& lines) {
        const ProcessRun run = RunProcess(kCli, arguments);
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(OutputLines(run.standardOutput), lines);
        EXPECT_EQ(run.standardError, "");
    };
    const auto info = [](const std::string& name, std::uint16_t side, std::string_view outcome) {
        return report::TextureInfoLine(name, side, side, 24, outcome);
    };
    expect({"extract", set, folder},
           Framed("Exporting set.DAT's textures to " + folder,
                  {info("wood.tga", 2, "Export successful"),
                   info(printed, 2, "Export failed: error creating file"),
                   info("dup.tga", 2, "Export successful"),
                   report::NameMessageLine("dup.tga", "Export failed: file already exists")}));
    std::filesystem::remove(dir.Path() / "tex" / "dup.tga");
    for (const char* name : {"wood.tga", "DUP.TGA"}) {
        ASSERT_TRUE(
            gen::WriteWholeFile((dir.Path() / "tex" / name).string(), gen::MakeTga(4, 4, 24)));
    }
    const std::string modified = "Import successful: size modified (to 4x4)";
    expect({"replace", set, folder},
           Framed("Importing textures from " + folder + " into set.DAT",
                  {info("wood.tga", 2, modified),
                   report::NameMessageLine(printed, "Import failed: file not found"),
                   info("dup.tga", 2, modified), info("dup.tga", 2, modified),
                   "Original file renamed to set.000"}));
    // S 200 halves the shininess, A 50 the amplitude.
    expect({"specular", set, "--black", "1,1", "--white", "200,50"},
           Framed("Changing specularity of set.DAT",
                  {"Original file renamed to set.001", "Specularity changed successfully"}));
    EXPECT_EQ(gen::ReadWholeFile(set), pawnSet(100, 25, 4).Bytes());
}

TEST(Cli, AFailedOperationExitsOne) {
    const TempDir dir;
    const ProcessRun run = RunProcess(kCli, {"list", dir.File("missing.DAT")});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(OutputLines(run.standardOutput),
              Framed("Loading missing.DAT", {"Error - Could not open missing.DAT"}));
    EXPECT_EQ(run.standardError, "");
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(Cli, UsageErrorsExitTwoWithAMessageAndTouchNothing) {
    const TempDir dir;
    const std::string set = dir.File("set.DAT");
    const std::vector<std::string> cases[] = {
        {},
        {"show", set},
        {"list"},
        {"list", set, set},
        {"extract", set},
        {"replace", set, set, set},
        {"specular", set, "--white", "50"},
        {"specular", set, "--white", "x,50"},
        {"specular", set, "--white", "1,4294967296"},
        {"specular", set, "--white", "-1,50"},
        {"specular", set, "--white"},
        {"specular", set, "--grey", "1,1"},
    };
    for (const std::vector<std::string>& arguments : cases) {
        const ProcessRun run = RunProcess(kCli, arguments);
        EXPECT_EQ(run.exitStatus, 2) << arguments.size();
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_NE(run.standardError, "");
    }
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(MakeDemoSets, WritesAllFourSetsAsBuilt) {
    const TempDir dir;
    const ProcessRun run = RunProcess(MAKE_DEMO_SETS_PATH, {dir.Path().string()});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
    FolderContents expected;
    for (unsigned style = 0; style < gen::kDemoStyleCount; ++style) {
        const gen::DemoSet set = gen::BuildDemoSet(style);
        expected[set.fileName] = set.bytes;
    }
    EXPECT_EQ(FilesIn(dir.Path()), expected);
}

}  // namespace
}  // namespace sorrelwick::test
