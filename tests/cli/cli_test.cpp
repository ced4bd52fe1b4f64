// sorrelwick-cli and make-demo-sets seen from outside: exit status, standard
// output and standard error of the real programs.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/process_run.h"
#include "generators/chess_set_builder.h"
#include "generators/demo_set.h"
#include "generators/png_builder.h"
#include "generators/tga_builder.h"
#include "platform/file_system.h"
#include "report/backup_line.h"
#include "report/lines.h"
#include "report/messages.h"
#include "support/report_matchers.h"
#include "support/temp_dir.h"

namespace sorrelwick::test {
namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

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
    // With --convert a PNG stands in for a missing .tga; it holds the grey
    // of the stored image, so the set comes out as before.
    std::filesystem::remove(dir.Path() / "tex" / "wood.tga");
    ASSERT_TRUE(gen::WriteWholeFile((dir.Path() / "tex" / "wood.png").string(),
                                    gen::MakePng(4, 4, 3, [](unsigned, unsigned) {
                                        return gen::Rgba{128, 128, 128, 255};
                                    })));
    expect({"replace", set, folder, "--convert"},
           Framed("Importing textures from " + folder + " into set.DAT",
                  {info("wood.tga", 4, "Import successful: converted from PNG"),
                   report::NameMessageLine(printed, "Import failed: file not found"),
                   info("dup.tga", 4, "Import successful"), info("dup.tga", 4, "Import successful"),
                   "Original file renamed to set.002"}));
    EXPECT_EQ(gen::ReadWholeFile(set), pawnSet(100, 25, 4).Bytes());
}

TEST(Cli, PreviewReplacesAnExistingPageOnlyWithForce) {
    const TempDir dir;
    const std::string set = dir.File("set.DAT"), page = dir.File("set.html");
    ASSERT_TRUE(gen::ChessSetBuilder()
                    .Signature()
                    .TextureReference("wood.tga")
                    .TextureImage(gen::MakeTga(2, 2, 24))
                    .WriteTo(set));
    const std::string wood = report::TextureInfoLine("wood.tga", 2, 2, 24, "Preview shown");
    const std::pair<std::vector<std::string>, std::string> runs[] = {
        {{"preview", set, page}, "Preview written to " + page},
        {{"preview", set, page}, "Error - " + page + " already exists; it was left as it is"},
        {{"preview", "--force", set, page}, "Preview written to " + page},
    };
    for (const auto& [arguments, last] : runs) {
        const ProcessRun run = RunProcess(kCli, arguments);
        EXPECT_EQ(run.exitStatus, last.starts_with("Error") ? 1 : 0);
        EXPECT_EQ(OutputLines(run.standardOutput),
                  Framed("Previewing set.DAT's textures in " + page, {wood, last}));
    }
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"set.DAT", "set.html"}));
}

// The fullwidth "ｓｅｔ.DAT" is a name of its own: a look-alike conversion
// to the code page would make it "set.DAT" and open, or rewrite, that set.
TEST(Cli, AFailedOperationExitsOneAndTouchesNothing) {
    const TempDir dir;
    const gen::ChessSetBuilder set = gen::ChessSetBuilder()
                                         .Signature()
                                         .TextureReference("wood.tga")
                                         .TextureImage(gen::MakeTga(2, 2, 24));
    ASSERT_TRUE(set.WriteTo(dir.File("set.DAT")));
    const std::string lookAlike = "\xEF\xBD\x93\xEF\xBD\x85\xEF\xBD\x94.DAT";  // ｓｅｔ.DAT
    const struct {
        std::vector<std::string> arguments;
        std::string title, name;
    } cases[] = {
        {{"list", dir.File("missing.DAT")}, "Loading missing.DAT", "missing.DAT"},
        {{"list", dir.File(lookAlike)}, "Loading " + lookAlike, lookAlike},
        {{"specular", dir.File(lookAlike), "--white", "50,50"},
         "Changing specularity of " + lookAlike,
         lookAlike},
    };
    for (const auto& c : cases) {
        const ProcessRun run = RunProcess(kCli, c.arguments);
        EXPECT_EQ(run.exitStatus, 1) << c.title;
        EXPECT_EQ(OutputLines(run.standardOutput),
                  Framed(c.title, {"Error - Could not open " + c.name}));
        EXPECT_EQ(run.standardError, "");
        EXPECT_EQ(FilesIn(dir.Path()), (FolderContents{{"set.DAT", set.Bytes()}}));
    }
}

// Folders and sets named in any language, through every command: on Windows
// outside the code page the tests run in (1252), as a Russian or Chinese
// name is on a Western system.
TEST(Cli, EveryCommandTakesPathsInAnyLanguage) {
    const std::pair<std::string, std::string> places[] = {
        {"\xD0\xA8\xD0\xB0\xD1\x85\xD0\xBC\xD0\xB0\xD1\x82\xD1\x8B",
         "\xD0\x94\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB0"},  // Шахматы/Доска
        {"\xE6\xA3\x8B\xE5\xAD\x90 \xE9\x9B\x86", "\xE6\xA3\x8B\xE7\x9B\x98"},  // 棋子 集/棋盘
        {"set\xF0\x9F\x98\x80", "mine\xF0\x9F\x98\x80"},                        // set😀/mine😀
    };
    for (const auto& [folderName, stem] : places) {
        SCOPED_TRACE(stem);
        const TempDir dir;
        const std::string folder = dir.File(folderName);
        std::filesystem::create_directory(gen::Utf8Path(folder));
        const std::string setPath = platform::JoinPath(folder, stem + ".DAT");
        const std::string textures = platform::JoinPath(folder, stem);
        const std::string page = platform::JoinPath(folder, stem + ".html");
        const gen::ChessSetBuilder built = gen::ChessSetBuilder()
                                               .Signature()
                                               .TextureReference("wood.tga")
                                               .TextureImage(gen::MakeTga(2, 2, 24));
        ASSERT_TRUE(built.WriteTo(setPath));
        const std::vector<std::string> runs[] = {
            {"list", setPath},    {"extract", setPath, textures}, {"replace", setPath, textures},
            {"backups", setPath}, {"restore", setPath, "0"},      {"preview", setPath, page},
        };
        std::filesystem::create_directory(gen::Utf8Path(textures));
        for (const std::vector<std::string>& arguments : runs) {
            const ProcessRun run = RunProcess(kCli, arguments);
            EXPECT_EQ(run.exitStatus, 0) << arguments[0] << "\n" << run.standardOutput;
            ASSERT_GE(OutputLines(run.standardOutput).size(), 2u) << arguments[0];
            EXPECT_NE(OutputLines(run.standardOutput)[1].find(stem + ".DAT"), std::string::npos)
                << arguments[0];
            EXPECT_EQ(run.standardError, "");
        }
        EXPECT_EQ(FilesIn(gen::Utf8Path(folder)),
                  (FolderContents{{stem + ".000", built.Bytes()},
                                  {stem + ".001", built.Bytes()},
                                  {stem + ".DAT", built.Bytes()},
                                  {stem + ".html", gen::ReadWholeFile(page)},
                                  {stem + "/", {}}}));
        EXPECT_EQ(gen::ReadWholeFile(platform::JoinPath(textures, "wood.tga")),
                  gen::MakeTga(2, 2, 24));
    }
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
        {"specular", set, "--white", "1,1", "--white", "1,x"},
        {"list", set, "--white", "1,1"},
        {"preview", set},
        {"preview", set, set, "--replace"},
        {"--frob"},
        {"list", "--version"},
    };
    for (const std::vector<std::string>& arguments : cases) {
        const ProcessRun run = RunProcess(kCli, arguments);
        EXPECT_EQ(run.exitStatus, 2) << arguments.size();
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_NE(run.standardError, "");
    }
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(Cli, HelpAndVersionPrintToStandardOutput) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--help"}, "Usage: sorrelwick-cli [OPTIONS] SUBCOMMAND"},
        {{"--version"}, "sorrelwick-cli "},
        {{"list", "--help"}, "Usage: sorrelwick-cli list [OPTIONS] SET"},
        {{"extract", "--help"}, "Usage: sorrelwick-cli extract [OPTIONS] SET FOLDER"},
        {{"specular", "x", "--help"}, "  --board S,A "},
    };
    for (const auto& [arguments, expected] : cases) {
        const ProcessRun run = RunProcess(kCli, arguments);
        EXPECT_EQ(run.exitStatus, 0) << arguments[0];
        EXPECT_NE(run.standardOutput.find(expected), std::string::npos) << run.standardOutput;
        EXPECT_EQ(run.standardError, "");
    }
}

// A set with one texture of `side` pixels square.
Bytes OneTextureSet(std::uint16_t side) {
    return gen::ChessSetBuilder()
        .Signature()
        .TextureReference("wood.tga")
        .TextureImage(gen::MakeTga(side, side, 24))
        .Bytes();
}

// Writes every file of `files` into `dir`.
void WriteAll(const TempDir& dir, const FolderContents& files) {
    for (const auto& [name, bytes] : files) ASSERT_TRUE(gen::WriteWholeFile(dir.File(name), bytes));
}

TEST(CliRestore, BringsTheBackupBackOrChangesNothing) {
    const Bytes current = OneTextureSet(2), old = OneTextureSet(4), older = OneTextureSet(8);
    Bytes cut = old;
    cut.pop_back();
    FolderContents full;
    for (unsigned n = 0; n < 1000; ++n) full["set." + std::to_string(1000 + n).substr(1)] = older;
    full["set.DAT"] = current;
    struct Case {
        const char* what;
        FolderContents before;
        std::string number;
        int exitStatus;
        std::optional<Lines> report;                         // none for a usage error
        std::optional<FolderContents> after = std::nullopt;  // none: as before
    };
    const std::string title = "Restoring set.DAT from set.003";
    const std::string restored(report::msg::kBackupRestored);
    // clang-format off
    const Case cases[] = {
        {"set present: it becomes the next free backup",
         {{"set.000", older}, {"set.003", old}, {"set.DAT", current}}, "3", 0,
         Framed(title, {"Original file renamed to set.001", restored}),
         FolderContents{{"set.000", older}, {"set.001", current}, {"set.003", old},
                        {"set.DAT", old}}},
        {"set absent: nothing else appears", {{"set.003", old}}, "003", 0,
         Framed(title, {restored}), FolderContents{{"set.003", old}, {"set.DAT", old}}},
        {"no such backup", {{"set.DAT", current}}, "3", 1,
         Framed(title, {"Error - Could not open set.003"})},
        {"backup not a set", {{"set.003", {1, 2, 3}}, {"set.DAT", current}}, "3", 1,
         Framed(title, {report::msg::BadFormat("set.003")})},
        {"backup cut short", {{"set.003", cut}, {"set.DAT", current}}, "3", 1,
         Framed(title, {"Error - Could not read set.003"})},
        {"1000 backups present", full, "3", 1,
         Framed(title, {report::msg::TooManyBackups("set.DAT")}, false)},
        {"number past 999", {{"set.003", old}, {"set.DAT", current}}, "1000", 2, std::nullopt},
        {"not a number", {{"set.003", old}, {"set.DAT", current}}, "3a", 2, std::nullopt},
        {"signed", {{"set.003", old}, {"set.DAT", current}}, "+3", 2, std::nullopt},
        {"empty", {{"set.003", old}, {"set.DAT", current}}, "", 2, std::nullopt},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TempDir dir;
        WriteAll(dir, c.before);
        const ProcessRun run = RunProcess(kCli, {"restore", dir.File("set.DAT"), c.number});
        EXPECT_EQ(run.exitStatus, c.exitStatus);
        EXPECT_EQ(OutputLines(run.standardOutput), c.report.value_or(Lines{}));
        EXPECT_EQ(run.standardError.empty(), c.report.has_value());
        EXPECT_EQ(FilesIn(dir.Path()), c.after.value_or(c.before));
    }
}

TEST(CliBackups, ListsEachBackupWithSizeUtcTimeAndContents) {
    const TempDir dir;
    const Bytes whole = OneTextureSet(2), notASet = {1, 2, 3};
    WriteAll(dir, {{"set.DAT", whole}});
    const ProcessRun none = RunProcess(kCli, {"backups", dir.File("set.DAT")});
    EXPECT_EQ(none.exitStatus, 0);
    EXPECT_EQ(OutputLines(none.standardOutput),
              Framed("Backups of set.DAT", {"No backups of set.DAT"}));

    WriteAll(dir, {{"set.000", whole}, {"set.002", notASet}});
    // 2026-12-07 01:45:30 UTC, whatever the time zone of the system.
    const std::chrono::sys_seconds written{std::chrono::seconds{1796607930}};
    for (const char* name : {"set.000", "set.002"}) {
        std::filesystem::last_write_time(dir.Path() / name,
                                         std::chrono::file_clock::from_sys(written));
    }
    const ProcessRun run = RunProcess(kCli, {"backups", dir.File("set.DAT")});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(
        OutputLines(run.standardOutput),
        Framed("Backups of set.DAT",
               {report::BackupLine("set.000", whole.size(), 1796607930, "1 texture"),
                report::BackupLine("set.002", 3, 1796607930, report::msg::BadFormat("set.002"))}));
    EXPECT_NE(run.standardOutput.find(" 2026-12-07 01:45 UTC "), std::string::npos);
    EXPECT_EQ(run.standardError, "");
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
