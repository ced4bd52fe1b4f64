// sorrelwick-cli seen from outside: exit status, standard output and
// standard error of the real program.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "generators/chess_set_builder.h"
#include "generators/png_builder.h"
#include "generators/tga_builder.h"
#include "platform/file_system.h"
#include "report/backup_line.h"
#include "report/lines.h"
#include "report/messages.h"
#include "support/reasons.h"
#include "support/report_matchers.h"
#include "support/temp_dir.h"

namespace sorrelwick::test {
namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;
using Arguments = std::vector<std::string>;
namespace fs = std::filesystem;

const std::string kCli = SORRELWICK_CLI_PATH;

// How a run of sorrelwick-cli ended, and what it printed.
struct CliRun {
    int exitStatus = -1;  // -1 when the process did not exit normally
    std::string standardOutput;
    std::string standardError;
};

std::string ReadText(const std::string& path) {
    const Bytes bytes = gen::ReadWholeFile(path);
    return {bytes.begin(), bytes.end()};
}

#ifndef _WIN32
std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}
#else
// One argument as the program's start-up code splits the command line: in
// quotes, with the backslashes before the closing quote doubled (none of our
// arguments holds a quote itself).
std::wstring QuotedArgument(const std::string& argument) {
    const std::wstring wide = gen::Utf8Path(argument).wstring();
    std::size_t backslashes = 0;
    while (backslashes < wide.size() && wide[wide.size() - 1 - backslashes] == L'\\') ++backslashes;
    return L"\"" + wide + std::wstring(backslashes, L'\\') + L"\"";
}

// A file the child writes its output to.
HANDLE InheritableOutput(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(gen::Utf8Path(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Starts the program itself, no shell between: its exit code is the
// program's own, and a failure to start says why.
int RunProgram(const Arguments& arguments, const std::string& outPath, const std::string& errPath) {
    std::wstring commandLine = QuotedArgument(kCli);
    for (const std::string& argument : arguments) commandLine += L" " + QuotedArgument(argument);
    const HANDLE out = InheritableOutput(outPath), err = InheritableOutput(errPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const bool started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                         CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    const DWORD startError = GetLastError();
    CloseHandle(out);
    CloseHandle(err);
    EXPECT_TRUE(started) << "could not start " << kCli << ": error " << startError;
    if (!started) return -1;
    DWORD exitCode = static_cast<DWORD>(-1);  // as the POSIX run reports a run that did not end
    // A run that hangs fails the test instead of stopping it.
    if (WaitForSingleObject(process.hProcess, 60'000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        ADD_FAILURE() << kCli << " ran for over a minute";
    } else {
        GetExitCodeProcess(process.hProcess, &exitCode);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}
#endif

// Runs sorrelwick-cli as a separate process, each of `arguments` passed as
// one argument (none may hold a double quote); the output is captured
// through files in a fresh folder.
CliRun RunCli(const Arguments& arguments) {
    const TempDir capture;
    const std::string outPath = capture.File("stdout.txt"), errPath = capture.File("stderr.txt");
#ifdef _WIN32
    const int exitStatus = RunProgram(arguments, outPath, errPath);
#else
    std::string command = "timeout -s KILL 60 " + Quoted(kCli);  // a hang fails, not stops
    for (const std::string& argument : arguments) command.append(" ").append(Quoted(argument));
    command.append(" >").append(Quoted(outPath)).append(" 2>").append(Quoted(errPath));
    const int status = std::system(command.c_str());
    const int exitStatus = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return {exitStatus, ReadText(outPath), ReadText(errPath)};
}

// Runs sorrelwick-cli with `arguments`: it must exit with `exitStatus`,
// print `report` and nothing on standard error. Each line ends in '\n'
// alone, on Windows too, so that the output is byte for byte the same
// everywhere.
void ExpectRun(const Arguments& arguments, int exitStatus, const Lines& report) {
    std::string printed;
    for (const std::string& line : report) printed += line + "\n";
    const CliRun run = RunCli(arguments);
    EXPECT_EQ(run.exitStatus, exitStatus) << arguments.front();
    EXPECT_EQ(run.standardOutput, printed);
    EXPECT_EQ(run.standardError, "");
}

// Runs sorrelwick-cli with `arguments`: it must succeed, print `text` among
// its lines and nothing on standard error.
void ExpectSuccessPrinting(const Arguments& arguments, const std::string& text) {
    const CliRun run = RunCli(arguments);
    EXPECT_EQ(run.exitStatus, 0) << arguments.front() << "\n" << run.standardOutput;
    EXPECT_NE(run.standardOutput.find(text), std::string::npos) << run.standardOutput;
    EXPECT_EQ(run.standardError, "");
}

// A set with one texture, "wood.tga", of `side` pixels square.
Bytes OneTextureSet(std::uint16_t side) {
    return gen::ChessSetBuilder()
        .Signature()
        .TextureReference("wood.tga")
        .TextureImage(gen::MakeTga(side, side, 24))
        .Bytes();
}

// 2026-12-07 01:45:30 UTC, whatever the time zone of the system.
constexpr std::int64_t kWrittenUtc = 1796607930;
const fs::file_time_type kWritten =
    std::chrono::file_clock::from_sys(std::chrono::sys_seconds{std::chrono::seconds{kWrittenUtc}});

// Writes every file of `files` into `dir`; a name ending in "/" is a folder,
// one ending in "|" a named pipe (POSIX only), written at kWritten.
void WriteAll(const TempDir& dir, const FolderContents& files) {
    for (const auto& [name, bytes] : files) {
        const fs::path path = dir.Path() / name;
        fs::create_directories(name.ends_with('/') ? path : path.parent_path());
#ifndef _WIN32
        if (name.ends_with('|')) {
            const fs::path pipe = dir.Path() / name.substr(0, name.size() - 1);
            EXPECT_EQ(mkfifo(pipe.c_str(), 0644), 0) << name;
            fs::last_write_time(pipe, kWritten);
            continue;
        }
#endif
        EXPECT_TRUE(name.ends_with('/') || gen::WriteWholeFile(path.string(), bytes)) << name;
    }
}

// A run on the files `before` (a name ending in "/" is a folder), and what
// the folder holds afterwards.
struct FolderCase {
    const char* what;
    FolderContents before;
    Arguments arguments;
    int exitStatus;
    Lines report;
    std::optional<FolderContents> after = std::nullopt;  // none: as before
    std::string newest = {};                             // the file written last, when that matters
    std::string heldOpen = {};  // a file another program holds open meanwhile (Windows only)
};

// A file held open without sharing, as the game holds its sets while it
// runs; nothing else may open, move or delete it meanwhile.
class HeldOpen {
public:
    explicit HeldOpen([[maybe_unused]] const fs::path& path) {
#ifdef _WIN32
        if (path.empty()) return;
        handle_ = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(handle_, INVALID_HANDLE_VALUE) << path;
#endif
    }
    ~HeldOpen() {
#ifdef _WIN32
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
#endif
    }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;

private:
#ifdef _WIN32
    HANDLE handle_ = INVALID_HANDLE_VALUE;
#endif
};

// Runs each case in `dir`, emptied and given the case's files first.
void ExpectFolderRuns(const TempDir& dir, const std::vector<FolderCase>& cases) {
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::string& name : dir.Entries()) fs::remove_all(dir.Path() / name);
        WriteAll(dir, c.before);
        if (!c.newest.empty()) {
            fs::last_write_time(dir.Path() / c.newest,
                                fs::file_time_type::clock::now() + std::chrono::minutes(1));
        }
        {
            const HeldOpen held(c.heldOpen.empty() ? fs::path() : dir.Path() / c.heldOpen);
            ExpectRun(c.arguments, c.exitStatus, c.report);
        }
        EXPECT_EQ(FilesIn(dir.Path()), c.after.value_or(c.before));
    }
}

TEST(CliList, PrintsEachTextureOfTheSet) {
    const TempDir dir;
    WriteAll(dir, {{"set.DAT", OneTextureSet(2)}});
    ExpectRun({"list", dir.File("set.DAT")}, 0,
              Framed("Loading set.DAT", {report::TextureInfoLine("wood.tga", 2, 2, 24)}));
}

// A name holding control bytes prints them as '?', so each report line
// stays one output line.
TEST(Cli, ExtractReplaceAndSpecularRunOnTheSetAsGiven) {
    const TempDir dir;
    const std::string set = dir.File("set.DAT"), folder = dir.File("tex");
    const std::string control = "ctl\n\x1B[2K\x7F.tga", printed = "ctl??[2K?.tga";
    const auto pawnSet = [&](std::uint8_t amplitude, std::uint8_t shininess) {
        return gen::ChessSetBuilder()
            .Signature()
            .Material({1, 1}, "wood.tga", amplitude, shininess)
            .TextureImage(gen::MakeTga(2, 2, 24))
            .Object({2, 2}, {{1, 1}})
            .ObjectName({2, 2}, "PawnW")
            .TextureReference(control)
            .TextureImage(gen::MakeTga(2, 2, 24))
            .Bytes();
    };
    WriteAll(dir, {{"set.DAT", pawnSet(200, 50)}, {"tex/", {}}});
    const auto info = [](const std::string& name, std::string_view outcome) {
        return report::TextureInfoLine(name, 2, 2, 24, outcome);
    };
    // A texture whose export failed makes the run exit 1.
    ExpectRun({"extract", set, folder}, 1,
              Framed("Exporting set.DAT's textures to " + folder,
                     {info("wood.tga", "Export successful"),
                      info(printed, "Export failed: error creating file")}));
    // S 200 halves the shininess, A 50 the amplitude.
    // The set has no black pieces: the white ones change, and the run fails.
    ExpectRun({"specular", set, "--black", "1,1", "--white", "200,50"}, 1,
              Framed("Changing specularity of set.DAT",
                     {"Original file renamed to set.000", "Changed 1 material of the white pieces",
                      "No black pieces recognised: piece names are read as the set's file name "
                      "selects, and set.DAT, named like none of A1_..., B1_..., C1_... or D1_..., "
                      "selects names like PawnB (a name like C1_... selects <Pawn>B, one like "
                      "D1_... selects <PawnB>)"}));
    // With --convert a PNG stands in for a missing .tga; it holds the grey
    // of the stored image, so the set comes out as before.
    fs::remove(dir.Path() / "tex" / "wood.tga");
    WriteAll(dir, {{"tex/wood.png", gen::MakePng(2, 2, 3, [](unsigned, unsigned) {
                        return gen::Rgba{128, 128, 128, 255};
                    })}});
    ExpectRun({"replace", set, folder, "--convert"}, 0,
              Framed("Importing textures from " + folder + " into set.DAT",
                     {info("wood.tga", "Import successful: converted from PNG"),
                      report::NameMessageLine(printed, "Import failed: file not found"),
                      "Original file renamed to set.001"}));
    EXPECT_EQ(gen::ReadWholeFile(set), pawnSet(100, 25));
}

TEST(Cli, PreviewReplacesAnExistingPageOnlyWithForce) {
    const TempDir dir;
    WriteAll(dir, {{"set.DAT", OneTextureSet(2)}});
    const std::string set = dir.File("set.DAT"), page = dir.File("set.html");
    const std::string title = "Previewing set.DAT's textures in " + page;
    const std::string wood = report::TextureInfoLine("wood.tga", 2, 2, 24, "Card written");
    ExpectRun({"preview", set, page}, 0, Framed(title, {wood, "Preview written to " + page}));
    ExpectRun({"preview", set, page}, 1,
              Framed(title, {wood, "Error - " + page + " already exists; it was left as it is",
                             "No preview page written"}));
    ExpectRun({"preview", "--force", set, page}, 0,
              Framed(title, {wood, "Preview written to " + page}));
    const Bytes onEveryCore = gen::ReadWholeFile(page);
    ExpectRun({"preview", "--force", "--jobs", "1", set, page}, 0,
              Framed(title, {wood, "Preview written to " + page}));
    EXPECT_EQ(gen::ReadWholeFile(page), onEveryCore);
    // Against itself: no texture differs, and the page says so.
    const std::string changes = dir.File("changes.html");
    ExpectRun({"preview", set, changes, "--compare", set}, 0,
              Framed("Previewing set.DAT's changes from set.DAT in " + changes,
                     {"Preview written to " + changes}));
    EXPECT_EQ(dir.Entries(), (Lines{"changes.html", "set.DAT", "set.html"}));
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
    const Bytes set = OneTextureSet(2);
    for (const auto& [folderName, stem] : places) {
        SCOPED_TRACE(stem);
        const TempDir dir;
        const std::string folder = dir.File(folderName);
        const std::string setPath = platform::JoinPath(folder, stem + ".DAT");
        const std::string textures = platform::JoinPath(folder, stem);
        const std::string page = platform::JoinPath(folder, stem + ".html");
        fs::create_directories(gen::Utf8Path(textures));
        ASSERT_TRUE(gen::WriteWholeFile(setPath, set));
        const Arguments runs[] = {
            {"list", setPath},    {"extract", setPath, textures}, {"replace", setPath, textures},
            {"backups", setPath}, {"restore", setPath, "0"},      {"preview", setPath, page},
        };
        for (const Arguments& arguments : runs) ExpectSuccessPrinting(arguments, stem + ".DAT");
        EXPECT_EQ(FilesIn(gen::Utf8Path(folder)),
                  (FolderContents{{stem + ".000", set},
                                  {stem + ".001", set},
                                  {stem + ".DAT", set},
                                  {stem + ".html", gen::ReadWholeFile(page)},
                                  {stem + "/", {}}}));
        EXPECT_EQ(gen::ReadWholeFile(platform::JoinPath(textures, "wood.tga")),
                  gen::MakeTga(2, 2, 24));
    }
}

TEST(Cli, UsageErrorsExitTwoWithAMessageAndTouchNothing) {
    const TempDir dir;
    const std::string set = dir.File("set.DAT");
    // clang-format off
    const Arguments cases[] = {
        {}, {"show", set}, {"--frob"},
        {"list"}, {"list", set, set}, {"list", "--version"}, {"list", set, "--white", "1,1"},
        {"extract", set}, {"replace", set, set, set}, {"diff", set},
        {"replace", set}, {"replace", set, set, "--texture", "a=b"}, {"replace", set, "--texture", "a"},
        {"replace", set, "--texture", "=b"}, {"extract", set, set, "--texture"},
        {"preview", set}, {"preview", set, set, "--replace"}, {"preview", set, set, "--compare"},
        {"specular", set, "--white"}, {"specular", set, "--white", "50"},
        {"specular", set, "--white", "x,50"}, {"specular", set, "--white", "-1,50"},
        {"specular", set, "--white", "1,4294967296"}, {"specular", set, "--grey", "1,1"},
        {"specular", set, "--white", "1,1", "--white", "1,x"},
        {"restore", set, "1000"}, {"restore", set, "3a"}, {"restore", set, "+3"}, {"restore", set, ""},
        {"mods", set}, {"mods", set, set, "--page"}, {"unapply", set}, {"unapply", set, set, set},
        {"preview", set, set, "--jobs", "0"}, {"preview", set, set, "--jobs", "two"},
        {"pack", set, "0", set, "--jobs", "1025"}, {"list", set, "--jobs", "2"},
        {"mods", set, set, "--page", set, "--jobs", "0"},
    };
    // clang-format on
    for (const Arguments& arguments : cases) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_NE(run.standardError, "");
    }
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(Cli, HelpAndVersionPrintToStandardOutput) {
    // The version is the project's, the one that names the release packages.
    ExpectRun({"--version"}, 0, {"sorrelwick-cli " SORRELWICK_PROJECT_VERSION});
    const std::pair<Arguments, std::string> cases[] = {
        {{"--help"}, "Usage: sorrelwick-cli [OPTIONS] SUBCOMMAND"},
        {{"list", "--help"}, "Usage: sorrelwick-cli list [OPTIONS] SET"},
        {{"extract", "--help"}, "Usage: sorrelwick-cli extract [OPTIONS] SET FOLDER"},
        {{"specular", "x", "--help"},
         "  --board S,A                 Shininess and amplitude percents for the board"},
    };
    for (const auto& [arguments, line] : cases) ExpectSuccessPrinting(arguments, line);
}

// Exit status 1 whenever something failed: the operation, a texture's
// export, or a file found for a texture and refused; a texture that merely
// has no file is no failure. A folder that can't be read stops extract and
// replace before anything changes.
TEST(Cli, TheExitStatusTellsAScriptWhetherAnythingFailed) {
    const TempDir dir;
    const std::string set = dir.File("set.DAT"), typo = dir.File("typo"), tex = dir.File("tex");
    const Bytes whole = OneTextureSet(2), deep = OneTextureSet(4);
    // The fullwidth "ｓｅｔ.DAT" is a name of its own: a look-alike conversion
    // to the code page would make it "set.DAT" and open, or rewrite, that set.
    const std::string lookAlike = "\xEF\xBD\x93\xEF\xBD\x85\xEF\xBD\x94.DAT";
    const std::string hint = "The set's most recent backup is set.000: bring it back with " +
                             ("sorrelwick-cli restore " + set + " 0");
    // A path with a space or a quote is quoted in the hint, to paste as it is.
    const std::string spaced = dir.File("my sets/k's.DAT");
#ifdef _WIN32
    const std::string spacedWord = "\"" + spaced + "\"";
#else
    const std::string spacedWord = std::string("'") + dir.File("my sets/k'\\''s.DAT") + "'";
#endif
    const auto noImportFolder = [&](Why why) {
        return Framed("Importing textures from " + typo + " into set.DAT",
                      {report::msg::NotAFolder(typo), ReasonLine(why)});
    };
    const std::string inUse = ReasonLine(Why::InUse);
    // clang-format off
    std::vector<FolderCase> cases = {
        {"a look-alike name", {{"set.DAT", whole}},
         {"specular", dir.File(lookAlike), "--white", "50,50"}, 1,
         Framed("Changing specularity of " + lookAlike,
                {"Error - Could not open " + lookAlike, ReasonLine(Why::NotFound)})},
        {"set missing after an interrupted rewrite: the newest backup, not the highest",
         {{"set.000", whole}, {"set.001", deep}, {"set~000", deep}}, {"list", set}, 1,
         Framed("Loading set.DAT", {"Error - Could not open set.DAT", ReasonLine(Why::NotFound), hint}),
         std::nullopt, "set.000"},
        {"the hint's path quoted", {{"my sets/k's.000", whole}}, {"list", spaced}, 1,
         Framed("Loading k's.DAT", {"Error - Could not open k's.DAT", ReasonLine(Why::NotFound),
                                    "The set's most recent backup is k's.000: bring it back with "
                                    "sorrelwick-cli restore " + spacedWord + " 0"}),
         FolderContents{{"my sets/", {}}}},
        {"extract into a missing folder", {{"set.DAT", whole}}, {"extract", set, typo}, 1,
         Framed("Exporting set.DAT's textures to " + typo,
                {report::msg::NotAFolder(typo), ReasonLine(Why::NotFound)})},
        {"replace from a missing folder", {{"set.DAT", whole}}, {"replace", set, typo}, 1,
         noImportFolder(Why::NotFound)},
        {"replace from a file", {{"set.DAT", whole}, {"typo", whole}}, {"replace", set, typo}, 1,
         noImportFolder(Why::NotAFolder)},
        {"a file refused", {{"set.DAT", whole}, {"tex/wood.tga", gen::MakeTga(2, 2, 32)}},
         {"replace", set, tex}, 1,
         Framed("Importing textures from " + tex + " into set.DAT",
                {report::TextureInfoLine("wood.tga", 2, 2, 24,
                                         "Import failed: wrong color depth (32 bits)"),
                 "Original file renamed to set.000"}),
         FolderContents{{"set.000", whole}, {"set.DAT", whole}, {"tex/", {}}}},
        {"an export failed", {{"set.DAT", whole}, {"tex/wood.tga", deep}}, {"extract", set, tex}, 1,
         Framed("Exporting set.DAT's textures to " + tex,
                {report::NameMessageLine("wood.tga", "Export failed: file already exists")}),
         FolderContents{{"set.DAT", whole}, {"tex/", {}}}},
    };
#ifdef _WIN32
    // The game holds its sets open while it runs: nothing changes, and the
    // report says what to do.
    cases.push_back({"specular on a set held open", {{"set.DAT", whole}}, {"specular", set}, 1,
                     Framed("Changing specularity of set.DAT", {"Error - Could not open set.DAT", inUse}),
                     std::nullopt, "", "set.DAT"});
    cases.push_back({"replace on a set held open", {{"set.DAT", whole}, {"tex/", {}}},
                     {"replace", set, tex}, 1,
                     Framed("Importing textures from " + tex + " into set.DAT",
                            {"Error - Could not open set.DAT", inUse}),
                     std::nullopt, "", "set.DAT"});
#endif
    // clang-format on
    ExpectFolderRuns(dir, cases);
#ifndef _WIN32
    // A named pipe is no file: wherever one stands, the open is refused at
    // once rather than left waiting for a writer.
    // clang-format off
    ExpectFolderRuns(dir, {
        {"a pipe at the set's path: list", {{"set.DAT|", {}}}, {"list", set}, 1,
         Framed("Loading set.DAT", {"Error - Could not open set.DAT"})},
        {"a pipe at the set's path: specular", {{"set.DAT|", {}}}, {"specular", set}, 1,
         Framed("Changing specularity of set.DAT", {"Error - Could not open set.DAT"})},
        {"a pipe at the set's path: replace", {{"set.DAT|", {}}, {"tex/", {}}},
         {"replace", set, tex}, 1,
         Framed("Importing textures from " + tex + " into set.DAT",
                {"Error - Could not open set.DAT"}, false)},
        {"a pipe at a backup's name: backups", {{"set.DAT", whole}, {"set.000|", {}}},
         {"backups", set}, 0,
         Framed("Backups of set.DAT",
                {report::BackupLine("set.000", 0, kWrittenUtc, "Error - Could not open set.000")})},
        {"a pipe at a backup's name: restore", {{"set.DAT", whole}, {"set.000|", {}}},
         {"restore", set, "0"}, 1,
         Framed("Restoring set.DAT from set.000", {"Error - Could not open set.000"})},
        {"a pipe at a backup's name: diff", {{"set.DAT", whole}, {"set.000|", {}}},
         {"diff", set, "0"}, 2,
         Framed("Comparing set.DAT with set.000", {"Error - Could not open set.000"})},
        {"a pipe under a texture's name", {{"set.DAT", whole}, {"tex/wood.tga|", {}}},
         {"replace", set, tex}, 1,
         Framed("Importing textures from " + tex + " into set.DAT",
                {report::NameMessageLine("wood.tga", "Import failed: error reading file"),
                 "Original file renamed to set.000"}),
         FolderContents{{"set.000", whole}, {"set.DAT", whole}, {"tex/", {}}}},
    });
    // clang-format on
    // A report that can't be written is a failure too.
    WriteAll(dir, {{"set.DAT", whole}});
    const int status = std::system(
        ("'" + kCli + "' list '" + set + "' >/dev/full 2>" + dir.File("errors")).c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_NE(gen::ReadWholeFile(dir.File("errors")), Bytes{});
#endif
}

// Textures named as the listing prints them: "NAME#2" is the second of a
// name unless a texture is called that; only those textures are touched.
TEST(Cli, TextureOptionsTouchOnlyTheNamedTextures) {
    const TempDir dir;
    const std::string set = dir.File("set.DAT"), tex = dir.Path().string(), edit = dir.File("new.tga");
    const auto threeTextures = [](const std::string& third, const Bytes& second) {
        return gen::ChessSetBuilder()
            .Signature()
            .TextureReference("wood.tga")
            .TextureImage(gen::MakeTga(2, 2, 24))
            .TextureReference("wood.tga")
            .TextureImage(second)
            .TextureReference(third)
            .TextureImage(gen::MakeTga(2, 2, 32))
            .Bytes();
    };
    const Bytes plain = threeTextures("felt.tga", gen::MakeTga(4, 4, 24));
    const Bytes edited = gen::MakeTga(8, 8, 24, {9, 9, 9, 255});
    const Bytes hashed = threeTextures("wood.tga#2", gen::MakeTga(4, 4, 24));
    const std::string exporting = "Exporting set.DAT's textures to " + tex;
    // clang-format off
    ExpectFolderRuns(dir, {
        {"extract the second of a name", {{"set.DAT", plain}},
         {"extract", set, tex, "--texture", "wood.tga#2"}, 0,
         Framed(exporting, {report::TextureInfoLine("wood.tga", 4, 4, 24, "Export successful")}),
         FolderContents{{"set.DAT", plain}, {"wood.tga", gen::MakeTga(4, 4, 24)}}},
        {"a texture named with '#' is matched whole first", {{"set.DAT", hashed}},
         {"extract", set, tex, "--texture", "wood.tga#2"}, 0,
         Framed(exporting, {report::TextureInfoLine("wood.tga#2", 2, 2, 32, "Export successful")}),
         FolderContents{{"set.DAT", hashed}, {"wood.tga#2", gen::MakeTga(2, 2, 32)}}},
        {"replace one texture from a file", {{"set.DAT", plain}, {"new.tga", edited}},
         {"replace", set, "--texture", "wood.tga#2=" + edit}, 0,
         Framed("Importing textures from " + edit + " into set.DAT",
                {report::TextureInfoLine("wood.tga", 4, 4, 24, "Import successful: size modified (to 8x8)"),
                 "Original file renamed to set.000"}),
         FolderContents{{"set.000", plain}, {"set.DAT", threeTextures("felt.tga", edited)},
                        {"new.tga", edited}}},
        {"a refused file changes nothing", {{"set.DAT", plain}, {"new.tga", gen::MakeTga(2, 2, 32)}},
         {"replace", set, "--texture", "wood.tga=" + edit}, 1,
         Framed("Importing textures from " + edit + " into set.DAT",
                {report::TextureInfoLine("wood.tga", 2, 2, 24,
                                         "Import failed: wrong color depth (32 bits)")})},
        {"a name not in the set", {{"set.DAT", plain}, {"new.tga", edited}},
         {"replace", set, "--texture", "felt.tga#2=" + edit}, 1,
         {"Error - set.DAT holds no texture named felt.tga#2"}},
        {"an extraction of a name not in the set", {{"set.DAT", plain}},
         {"extract", set, tex, "--texture", "felt.tga", "--texture", "wood"}, 1,
         {"Error - set.DAT holds no texture named wood"}},
        {"a name holding '=' taken where the set holds it",
         {{"set.DAT", threeTextures("a=b", gen::MakeTga(4, 4, 24))}, {"new.tga", gen::MakeTga(2, 2, 32)}},
         {"replace", set, "--texture", "a=b=" + edit}, 0,
         Framed("Importing textures from " + edit + " into set.DAT",
                {report::TextureInfoLine("a=b", 2, 2, 32, "Import successful"),
                 "Original file renamed to set.000"}),
         FolderContents{{"set.000", threeTextures("a=b", gen::MakeTga(4, 4, 24))},
                        {"set.DAT", threeTextures("a=b", gen::MakeTga(4, 4, 24))},
                        {"new.tga", gen::MakeTga(2, 2, 32)}}},
        {"a folder given as FILE", {{"set.DAT", plain}, {"new.tga/", {}}},
         {"replace", set, "--texture", "felt.tga=" + edit}, 1,
         Framed("Importing textures from " + edit + " into set.DAT",
                {report::NameMessageLine("felt.tga", "Import failed: file not found (" +
                                                         ReasonText(Why::IsFolder) + ")")})},
    });
#ifndef _WIN32
    ExpectFolderRuns(dir, {
        {"a pipe given as FILE is refused as in a folder", {{"set.DAT", plain}, {"new.tga|", {}}},
         {"replace", set, "--texture", "felt.tga=" + edit}, 1,
         Framed("Importing textures from " + edit + " into set.DAT",
                {report::NameMessageLine("felt.tga", "Import failed: error reading file")})},
    });
#endif
    // A texture named twice is a usage error that names both, and so is a
    // NAME=FILE that two of the set's names fit; nothing is done.
    const Bytes equals = threeTextures("wood.tga=x", gen::MakeTga(4, 4, 24));
    const std::tuple<Bytes, Arguments, std::string> refused[] = {
        {plain, {"extract", set, tex, "--texture", "wood.tga", "--texture", "wood.tga#1"},
         "--texture wood.tga and --texture wood.tga#1 name the same texture"},
        {plain, {"replace", set, "--texture", "felt.tga=" + edit, "--texture", "felt.tga#1=" + edit},
         "--texture felt.tga and --texture felt.tga#1 name the same texture"},
        {equals, {"replace", set, "--texture", "wood.tga=x=" + edit},
         "--texture wood.tga=x=" + edit + " is ambiguous: the set holds both wood.tga and wood.tga=x"},
    };
    for (const auto& [before, arguments, message] : refused) {
        SCOPED_TRACE(message);
        for (const std::string& name : dir.Entries()) fs::remove_all(dir.Path() / name);
        WriteAll(dir, {{"set.DAT", before}, {"new.tga", edited}});
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(run.standardOutput, "");
        std::string error = run.standardError;
        if (error.ends_with("\r\n")) error.erase(error.size() - 2, 1);  // a Windows console's line end
        EXPECT_EQ(error, "sorrelwick-cli: " + message + "\n");
        EXPECT_EQ(FilesIn(dir.Path()), (FolderContents{{"set.DAT", before}, {"new.tga", edited}}));
    }
    // clang-format on
}

TEST(CliRestore, BringsTheBackupBackOrChangesNothing) {
    const TempDir dir;
    const Bytes current = OneTextureSet(2), old = OneTextureSet(4);
    const Arguments restore3 = {"restore", dir.File("set.DAT"), "003"};
    const std::string title = "Restoring set.DAT from set.003";
    // clang-format off
    ExpectFolderRuns(dir, {
        {"set present: it becomes a backup", {{"set.003", old}, {"set.DAT", current}}, restore3, 0,
         Framed(title, {"Original file renamed to set.000", "Backup restored successfully"}),
         FolderContents{{"set.000", current}, {"set.003", old}, {"set.DAT", old}}},
        {"a folder at the set's path: nothing is renamed", {{"set.003", old}, {"set.DAT/", {}}},
         restore3, 1, Framed(title, {"Error - Could not open set.DAT"}, false)},
        {"no such backup", {{"set.DAT", current}}, restore3, 1,
         Framed(title, {"Error - Could not open set.003", ReasonLine(Why::NotFound)})},
        {"backup not a set", {{"set.003", {1, 2, 3}}, {"set.DAT", current}}, restore3, 1,
         Framed(title, {report::msg::BadFormat("set.003")})},
    });
    // clang-format on
}

// As cmp and diff: 0 the same, 1 different, 2 trouble.
TEST(CliDiff, ExitsAsCmpDoes) {
    const TempDir dir;
    const Bytes set = OneTextureSet(2), old = OneTextureSet(4);
    WriteAll(dir, {{"set.DAT", set}, {"set.000", set}, {"set.003", old}});
    const std::string comparing = "Comparing set.DAT with ";
    const std::tuple<std::string, int, Lines> cases[] = {
        {"0", 0, Framed(comparing + "set.000", {"No differences"})},
        {"3", 1,
         Framed(comparing + "set.003",
                {report::TextureInfoLine("wood.tga", 2, 2, 24, "changed: was 4x4 24 bits"), "",
                 "1 texture differs"})},
        {"7", 2,
         Framed(comparing + "set.007",
                {"Error - Could not open set.007", ReasonLine(Why::NotFound)})},
    };
    for (const auto& [other, exitStatus, report] : cases) {
        SCOPED_TRACE(other);
        ExpectRun({"diff", dir.File("set.DAT"), other}, exitStatus, report);
    }
}

// A mod carries the change from set.000 to set.DAT to a copy of set.000,
// is told against it and taken out again; a file that is not a mod changes
// nothing and exits 1.
TEST(CliMod, PackApplyTellAndTakeOutOrRefuse) {
    const TempDir dir;
    const Bytes base = OneTextureSet(2);
    const Bytes painted = gen::ChessSetBuilder()
                              .Signature()
                              .TextureReference("wood.tga")
                              .TextureImage(gen::MakeTga(2, 2, 24, {200, 0, 0, 255}))
                              .Bytes();
    WriteAll(dir, {{"set.DAT", painted}, {"set.000", base}, {"copy.DAT", base},
                   {"junk.zip", {'P', 'K', 5, 6}}});
    const std::string mod = dir.File("mod.zip"), copy = dir.File("copy.DAT");
    const Lines packed = Framed("Packing the changes of set.DAT since set.000 into " + mod,
                                {report::TextureInfoLine("wood.tga", 2, 2, 24, "packed"), "",
                                 "1 texture packed into " + mod});
    ExpectRun({"pack", dir.File("set.DAT"), "0", mod, "--title", "Red"}, 0, packed);
    ExpectRun({"pack", dir.File("set.DAT"), "0", mod}, 1,
              Framed("Packing the changes of set.DAT since set.000 into " + mod,
                     {packed[3],
                      "Error - " + mod + " already exists; it was left as it is",
                      "No mod written"}));
    ExpectRun({"apply", copy, mod, "--check"}, 0,
              Framed("Checking the mod " + mod + " against copy.DAT",
                     {report::TextureInfoLine("wood.tga", 2, 2, 24, "Would be applied"), "",
                      "1 to apply", "Checked only: nothing was written"}));
    EXPECT_EQ(gen::ReadWholeFile(copy), base);
    ExpectRun({"apply", copy, mod}, 0,
              Framed("Applying the mod " + mod + " to copy.DAT",
                     {report::TextureInfoLine("wood.tga", 2, 2, 24, "Mod applied"), "",
                      "1 applied", "Original file renamed to copy.000"}));
    EXPECT_EQ(gen::ReadWholeFile(copy), painted);
    const std::string junk = dir.File("junk.zip");
    ExpectRun({"apply", copy, junk}, 1,
              Framed("Applying the mod " + junk + " to copy.DAT",
                     {"Error - " + junk + " is not a mod file that can be read"}));
    EXPECT_EQ(gen::ReadWholeFile(copy), painted);
    // Told against the set, then taken out again: the set as it was.
    ExpectRun({"mods", copy, mod, junk}, 1,
              Framed("Mods against copy.DAT",
                     {report::NameMessageLine("mod.zip", "\"Red\": Applied"),
                      "Error - " + junk + " is not a mod file that can be read", "",
                      "No texture or material is changed by two of them"}));
    ExpectRun({"unapply", copy, mod, "--check"}, 0,
              Framed("Checking what taking the mod " + mod + " out of copy.DAT would do",
                     {report::TextureInfoLine("wood.tga", 2, 2, 24, "Would be taken out"), "",
                      "1 to take out", "Checked only: nothing was written"}));
    EXPECT_EQ(gen::ReadWholeFile(copy), painted);
    ExpectRun({"unapply", copy, mod}, 0,
              Framed("Taking the mod " + mod + " out of copy.DAT",
                     {report::TextureInfoLine("wood.tga", 2, 2, 24, "Taken out"), "",
                      "1 taken out", "Original file renamed to copy.001"}));
    EXPECT_EQ(gen::ReadWholeFile(copy), base);
    ExpectRun({"unapply", copy, junk}, 1,
              Framed("Taking the mod " + junk + " out of copy.DAT",
                     {"Error - " + junk + " is not a mod file that can be read"}));
    EXPECT_EQ(gen::ReadWholeFile(copy), base);
}

TEST(CliBackups, ListsEachBackupWithSizeUtcTimeAndContents) {
    const TempDir dir;
    const Bytes whole = OneTextureSet(2);
    const std::string set = dir.File("set.DAT"), title = "Backups of set.DAT";
    WriteAll(dir, {{"set.DAT", whole}});
    ExpectRun({"backups", set}, 0, Framed(title, {"No backups of set.DAT"}));
    // A temporary file that an interrupted rewrite left is listed too.
    WriteAll(dir, {{"set.000", whole}, {"set.002", {1, 2, 3}}, {"set~000", {1, 2, 3}}});
    for (const char* name : {"set.000", "set.002", "set~000"}) {
        fs::last_write_time(dir.Path() / name, kWritten);
    }
    ExpectRun({"backups", set}, 0,
              Framed(title, {report::BackupLine("set.000", whole.size(), kWrittenUtc, "1 texture"),
                             report::BackupLine("set.002", 3, kWrittenUtc,
                                                report::msg::BadFormat("set.002")),
                             report::BackupLine("set~000", 3, kWrittenUtc,
                                                report::msg::kLeftByInterruptedRewrite)}));
}

// A rewritten set keeps its permissions (on Windows, its read-only
// attribute), and a set reached through a symbolic link is rewritten where
// the link leads, with its backups beside it; the link stays as it was.
TEST(Cli, ARewriteKeepsTheSetsModeAndItsLink) {
    const Bytes set = OneTextureSet(2);
    for (const auto mode : {fs::perms(0640), fs::perms(0600), fs::perms(0444)}) {
        const TempDir dir;
        WriteAll(dir, {{"set.DAT", set}});
        fs::permissions(dir.Path() / "set.DAT", mode);
        const fs::perms before = fs::status(dir.Path() / "set.DAT").permissions();
        ExpectSuccessPrinting({"specular", dir.File("set.DAT")},
                              "Specularity changed successfully");
        EXPECT_EQ(fs::status(dir.Path() / "set.DAT").permissions(), before);
        EXPECT_EQ(FilesIn(dir.Path()), (FolderContents{{"set.000", set}, {"set.DAT", set}}));
        for (const char* name : {"set.DAT", "set.000"}) {
            fs::permissions(dir.Path() / name, fs::perms::owner_write, fs::perm_options::add);
        }
    }
#ifndef _WIN32
    const TempDir dir;
    WriteAll(dir, {{"real/s.DAT", set}, {"work/", {}}});
    const std::string link = (dir.Path() / "work" / "s.DAT").string();
    fs::create_symlink("../real/s.DAT", link);
    ExpectRun({"specular", link}, 0,
              Framed("Changing specularity of s.DAT",
                     {"Original file renamed to s.000", "Specularity changed successfully"}));
    // As if the rewrite had been interrupted before the new set took its
    // place: the link's target is missing.
    fs::remove(dir.Path() / "real" / "s.DAT");
    ExpectRun({"list", link}, 1,
              Framed("Loading s.DAT", {"Error - Could not open s.DAT", ReasonLine(Why::NotFound),
                                       "The set's most recent backup is s.000: bring it back "
                                       "with sorrelwick-cli restore " +
                                           link + " 0"}));
    ExpectRun({"restore", link, "0"}, 0,
              Framed("Restoring s.DAT from s.000", {"Backup restored successfully"}));
    ExpectRun({"diff", link, "0"}, 0, Framed("Comparing s.DAT with s.000", {"No differences"}));
    EXPECT_EQ(fs::read_symlink(link), "../real/s.DAT");
    EXPECT_EQ(dir.Entries(), (Lines{"real", "work"}));
    EXPECT_EQ(FilesIn(dir.Path() / "real"), (FolderContents{{"s.000", set}, {"s.DAT", set}}));

    // Piece names are read as the file's own name selects, not the link's.
    const Bytes pawn = gen::ChessSetBuilder()
                           .Signature()
                           .Material({1, 1}, "", 200, 50)
                           .Object({2, 2}, {{1, 1}})
                           .ObjectName({2, 2}, "<Pawn>W")
                           .Bytes();
    WriteAll(dir, {{"real/C1_p.DAT", pawn}});
    const std::string pawnLink = (dir.Path() / "work" / "p.DAT").string();
    fs::create_symlink("../real/C1_p.DAT", pawnLink);
    ExpectRun({"specular", pawnLink, "--white", "100,50"}, 0,
              Framed("Changing specularity of p.DAT",
                     {"Original file renamed to C1_p.000", "Changed 1 material of the white pieces",
                      "Specularity changed successfully"}));
#endif
}

#ifndef _WIN32
// A member of the set's group who may not give a file away (not its owner,
// not privileged) rewrites it: the new set keeps the group and the mode. The
// run is made as user 65534 with the set's group 12345 as its second group.
TEST(Cli, ARewriteByAMemberOfTheSetsGroupKeepsTheGroup) {
    if (geteuid() != 0 || std::system("command -v setpriv >/dev/null") != 0) {
        GTEST_SKIP() << "a run as another user in a second group needs root and setpriv";
    }
    const Bytes set = OneTextureSet(2);
    const TempDir dir;
    fs::permissions(dir.Path(), fs::perms::all);
    WriteAll(dir, {{"set.DAT", set}});
    const std::string path = dir.File("set.DAT");
    ASSERT_EQ(chown(path.c_str(), 12344, 12345), 0);
    fs::permissions(path, fs::perms(0640));
    const std::string command = "setpriv --reuid=65534 --regid=65534 --groups=12345 '" + kCli +
                                "' specular '" + path + "' >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_gid, 12345u);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(FilesIn(dir.Path()), (FolderContents{{"set.000", set}, {"set.DAT", set}}));
}

// In a folder where only a file's owner may rename or delete it, a set of
// another user can't be replaced; a backup name given to it could not be
// taken back either, so none is given.
TEST(Cli, ASetThatCantBeReplacedInAStickyFolderGetsNoBackupName) {
    if (geteuid() != 0 || std::system("command -v setpriv >/dev/null") != 0) {
        GTEST_SKIP() << "a run as another user needs root and setpriv";
    }
    const Bytes set = OneTextureSet(2);
    const TempDir dir;
    fs::permissions(dir.Path(), fs::perms::all | fs::perms::sticky_bit);
    WriteAll(dir, {{"set.DAT", set}});
    const std::string path = dir.File("set.DAT");
    ASSERT_EQ(chown(path.c_str(), 12344, 12344), 0);
    fs::permissions(path, fs::perms(0666));
    const std::string command = "setpriv --reuid=65534 --regid=65534 --clear-groups '" + kCli +
                                "' specular '" + path + "' --white 50,50 >/dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 1);
    EXPECT_EQ(FilesIn(dir.Path()), (FolderContents{{"set.DAT", set}}));
}

// A page and a mod are new files like any other: the umask says who may
// read them.
TEST(Cli, PagesAndModsTakeTheModeOfANewFile) {
    const TempDir dir;
    WriteAll(dir, {{"set.DAT", OneTextureSet(2)}, {"set.000", OneTextureSet(3)}});
    const std::string set = dir.File("set.DAT");
    const std::pair<std::string, std::string> written[] = {
        {"preview '" + set + "' '" + dir.File("page.html") + "'", "page.html"},
        {"pack '" + set + "' 0 '" + dir.File("mod.zip") + "'", "mod.zip"},
    };
    for (const auto& [arguments, name] : written) {
        SCOPED_TRACE(name);
        const std::string command = "umask 027; '" + kCli + "' " + arguments + " >/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0);
        struct stat info {};
        ASSERT_EQ(stat(dir.File(name).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0640u);
    }
}
#endif

}  // namespace
}  // namespace sorrelwick::test
