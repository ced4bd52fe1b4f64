// Runs killed at random moments: `sorrelwick-cli replace` and `extract` on a
// set of more than 100 MiB get SIGKILL or SIGINT at a random moment of their
// run, again and again; after every kill the set's path must hold the old set
// or the new one, whole, and no texture may be left cut short under its
// name. SORRELWICK_KILLS and SORRELWICK_KILL_MIB change the number of kills
// (20) and the set's size (104 MiB). A reader of the report that goes away
// early must not stop a rewrite either.
//
// And what makes a rewrite survive a power cut, seen at the system calls:
// the new set is flushed before the set takes its backup name and the new
// set the set's name, and their folder after.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"
#include "support/temp_dir.h"

namespace sorrelwick::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Arguments = std::vector<std::string>;
using Environment = std::vector<std::pair<std::string, std::string>>;

int Setting(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value ? std::atoi(value) : fallback;
}

// 1024x1024 at 32 bits: 4 MiB.
Bytes BaseImage(std::uint8_t seed) {
    return gen::MakeTga(1024, 1024, 32, [seed](unsigned x, unsigned y) {
        return gen::Rgba{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y + seed),
                         static_cast<std::uint8_t>(x ^ y), seed};
    });
}

// The base image with the texture's number stamped across its pixels, so
// that a chunk out of its place shows.
Bytes Texture(const Bytes& base, unsigned index) {
    Bytes image = base;
    for (std::size_t at = 18 + index % 4096; at < image.size(); at += 4096) {
        image[at] = static_cast<std::uint8_t>(index);
    }
    return image;
}

std::string TextureName(unsigned index) {
    return "t" + std::to_string(index) + ".tga";
}

unsigned TextureCount() {
    return static_cast<unsigned>(Setting("SORRELWICK_KILL_MIB", 104) + 3) / 4;
}

// Writes the set "set.DAT" of `textures` textures into `dir`, and the images
// that replace them into its folder "tex"; the set before and after the
// replacement.
std::pair<Bytes, Bytes> WriteSets(const TempDir& dir, unsigned textures) {
    fs::create_directory(dir.Path() / "tex");
    gen::ChessSetBuilder original, finished;
    original.Signature(7);
    finished.Signature(7);
    const Bytes before = BaseImage(0), after = BaseImage(1);
    for (unsigned i = 0; i < textures; ++i) {
        const Bytes replacing = Texture(after, i);
        EXPECT_TRUE(gen::WriteWholeFile(dir.File("tex/" + TextureName(i)), replacing));
        original.TextureReference(TextureName(i)).TextureImage(Texture(before, i));
        finished.TextureReference(TextureName(i)).TextureImage(replacing);
    }
    EXPECT_TRUE(gen::WriteWholeFile(dir.File("set.DAT"), original.Bytes()));
    return {original.Bytes(), finished.Bytes()};
}

// Starts the command line with `arguments` and the `environment` added to
// its own; its report goes to `output`, or nowhere, its errors to `errors`
// or where the tests' own go.
pid_t StartCli(Arguments arguments, const Environment& environment = {}, int output = -1,
               int errors = -1) {
    const std::string program = SORRELWICK_CLI_PATH;
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        dup2(output >= 0 ? output : open("/dev/null", O_WRONLY), STDOUT_FILENO);
        if (errors >= 0) dup2(errors, STDERR_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

// Runs the command line to its end, which must be a success; how long it took.
std::chrono::microseconds RunWhole(const Arguments& arguments,
                                   const Environment& environment = {}) {
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    waitpid(StartCli(arguments, environment), &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start);
}

// Kills runs of `arguments` at a random moment within `window` until
// SORRELWICK_KILLS of them were killed (or five times as many started), and
// calls `check` after each. Runs get faster once the files are cached, or
// slower on a busy machine: each run that finishes before its kill narrows
// the moments drawn.
void KillRuns(const Arguments& arguments, std::chrono::microseconds window,
              const std::function<void()>& check) {
    const int kills = Setting("SORRELWICK_KILLS", 20);
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    long long latest = window.count();
    int killed = 0;
    for (int attempt = 0; killed < kills && attempt < 5 * kills; ++attempt) {
        const pid_t pid = StartCli(arguments);
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<long long>(0, latest)(random)));
        // Ctrl+C as well: the program has no handler of its own for it.
        kill(pid, attempt % 2 == 0 ? SIGKILL : SIGINT);
        int status = 0;
        waitpid(pid, &status, 0);
        if (WIFSIGNALED(status)) {
            ++killed;
        } else {
            latest = latest * 3 / 4;
        }
        check();
    }
    std::cout << arguments[0] << ": seed " << seed << ", run " << window.count() / 1000
              << " ms, kills " << killed << " of " << kills << "\n";
    EXPECT_GE(killed, kills);
}

// Whether the file at `path` holds exactly `bytes`; read in large blocks,
// for speed in unoptimised builds too.
bool Holds(const fs::path& path, const Bytes& bytes) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> block(1 << 22);
    std::size_t at = 0;
    while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got > bytes.size() - at || std::memcmp(block.data(), bytes.data() + at, got) != 0) {
            return false;
        }
        at += got;
    }
    return at == bytes.size();
}

// Whether the file at `path` holds the old set or the new one.
bool HoldsAWholeSet(const fs::path& path, const std::pair<Bytes, Bytes>& sets) {
    return Holds(path, sets.first) || Holds(path, sets.second);
}

TEST(KilledRewrite, AlwaysLeavesAWholeSetAtItsPath) {
    const TempDir dir;
    const fs::path set = dir.Path() / "set.DAT", backup = dir.Path() / "set.000";
    const auto [original, finished] = WriteSets(dir, TextureCount());
    const Arguments replace = {"replace", set.string(), dir.File("tex")};
    // A whole run first: it shows how long a run takes, and what it leaves.
    const std::chrono::microseconds runTime = RunWhole(replace);
    ASSERT_TRUE(Holds(set, finished) && Holds(backup, original));
    fs::rename(backup, set);

    int notWholeAtPath = 0, originalLost = 0, strayFiles = 0, temporaryLeft = 0;
    // Checks the folder after a run and puts the original back at its path,
    // alone.
    KillRuns(replace, runTime, [&] {
        const bool old = Holds(set, original), backedUp = Holds(backup, original);
        notWholeAtPath += !old && !Holds(set, finished);
        originalLost += !old && !backedUp;
        std::vector<fs::path> others;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir.Path())) {
            const std::string name = entry.path().filename().string();
            if (name == "tex" || name == "set.DAT") continue;
            const bool temporary = name.size() == 7 && name.starts_with("set~");
            temporaryLeft += temporary;
            strayFiles += !temporary && !(name == "set.000" && backedUp);
            // The backup when the set is at its path too (killed between
            // the two steps), or lost.
            if (name != "set.000" || old || !backedUp) others.push_back(entry.path());
        }
        for (const fs::path& path : others) fs::remove(path);
        if (old) return;
        if (backedUp) fs::rename(backup, set);
        if (!backedUp) gen::WriteWholeFile(set.string(), original);
    });
    EXPECT_EQ(notWholeAtPath, 0);
    EXPECT_EQ(originalLost, 0);
    EXPECT_EQ(strayFiles, 0);
    // Some kills must have hit the run while it wrote, or nothing was shown.
    EXPECT_GT(temporaryLeft, 0);
}

// `replace SET FOLDER | head -1`: the reader goes away after the first line,
// while a report of thousands of lines is still being written. The rewrite
// goes on to its end: the run exits 0 when the report was all written
// before, else 1 with a message on standard error, never by the signal of
// the closed pipe, and the set's path holds a whole set.
TEST(KilledRewrite, AReaderThatGoesAwayLeavesAWholeSet) {
    const TempDir dir;
    fs::create_directory(dir.Path() / "tex");
    gen::ChessSetBuilder original, finished;
    original.Signature(7);
    finished.Signature(7);
    const Bytes before = gen::MakeTga(2, 2, 24, {1, 2, 3, 255});
    const Bytes after = gen::MakeTga(2, 2, 24, {4, 5, 6, 255});
    for (unsigned i = 0; i < 3000; ++i) {
        original.TextureReference(TextureName(i)).TextureImage(before);
        finished.TextureReference(TextureName(i)).TextureImage(after);
        ASSERT_TRUE(gen::WriteWholeFile(dir.File("tex/" + TextureName(i)), after));
    }
    const fs::path set = dir.Path() / "set.DAT";
    ASSERT_TRUE(gen::WriteWholeFile(set.string(), original.Bytes()));
    // Only the program may hold the pipe's writing end, and only the test
    // its reading end, or closing it would not be seen.
    int report[2];
    ASSERT_EQ(pipe2(report, O_CLOEXEC), 0);
    const TempDir elsewhere;
    const int errors = open(elsewhere.File("errors").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    const pid_t pid = StartCli({"replace", set.string(), dir.File("tex")}, {}, report[1], errors);
    close(report[1]);
    close(errors);
    char c = 0;
    while (read(report[0], &c, 1) == 1 && c != '\n') {
    }
    close(report[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    const Bytes errorText = gen::ReadWholeFile(elsewhere.File("errors"));
    EXPECT_EQ(WEXITSTATUS(status) == 1, !errorText.empty());
    EXPECT_TRUE(WEXITSTATUS(status) <= 1);
    EXPECT_TRUE(HoldsAWholeSet(set, {original.Bytes(), finished.Bytes()}));
    EXPECT_FALSE(fs::exists(dir.Path() / "set~000"));
}

TEST(KilledExtraction, NeverLeavesACutOffTextureUnderItsName) {
    const unsigned textures = TextureCount();
    const TempDir dir;
    const std::string out = dir.File("out");
    fs::create_directory(out);
    WriteSets(dir, textures);
    const Bytes base = BaseImage(0);
    const Arguments extract = {"extract", dir.File("set.DAT"), out};
    const std::chrono::microseconds runTime = RunWhole(extract);

    // Texture files are checked and removed after each run; temporary files
    // stay, and later runs must pass them over.
    int cutOff = 0, whole = 0, temporary = 0, stray = 0;
    const auto checkAndClear = [&] {
        temporary = 0;
        for (const fs::directory_entry& entry : fs::directory_iterator(out)) {
            const std::string name = entry.path().filename().string();
            const std::size_t mark = name.find(".tga.~");
            const bool isTemporary = mark != std::string::npos && name.size() == mark + 9;
            unsigned index = 0;
            const bool isTexture =
                std::sscanf(name.c_str(), "t%u.tga", &index) == 1 && name == TextureName(index);
            temporary += isTemporary;
            stray += !isTemporary && !isTexture;
            if (!isTexture) continue;
            (Holds(entry.path(), Texture(base, index)) ? whole : cutOff) += 1;
            fs::remove(entry.path());
        }
    };
    checkAndClear();
    KillRuns(extract, runTime, checkAndClear);
    EXPECT_EQ(cutOff, 0);
    EXPECT_EQ(stray, 0);
    EXPECT_GT(temporary, 0);
    // A whole run afterwards writes every texture and leaves the temporary
    // files where they are.
    RunWhole(extract);
    const int left = temporary;
    whole = 0;
    checkAndClear();
    EXPECT_EQ(whole, static_cast<int>(textures));
    EXPECT_EQ(cutOff, 0);
    EXPECT_EQ(temporary, left);
}

TEST(DurableRewrite, FlushesTheNewSetBeforeTheMovesAndTheFolderAfter) {
#ifndef SORRELWICK_SYSCALL_RECORDER
    GTEST_SKIP() << "no system-call recorder in a build with the sanitizers";
#else
    const TempDir temp;
    const std::string dir = fs::canonical(temp.Path()).string();
    const std::string set = dir + "/set.DAT", log = dir + "/calls";
    WriteSets(temp, 1);
    RunWhole({"replace", set, dir + "/tex"},
             {{"LD_PRELOAD", SORRELWICK_SYSCALL_RECORDER}, {"SORRELWICK_SYSCALL_LOG", log}});
    std::vector<std::string> calls;
    std::string seen;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line); seen += line + "\n") calls.push_back(line);
    const auto at = [&calls](const std::string& line) {
        return std::find(calls.begin(), calls.end(), line) - calls.begin();
    };
    const auto end = static_cast<std::ptrdiff_t>(calls.size());
    const std::string temporary = dir + "/set~000";
    const std::ptrdiff_t move = at("rename " + temporary + " " + set);
    const std::ptrdiff_t kept = at("link " + set + " " + dir + "/set.000");
    const std::ptrdiff_t fileFlush = at("fsync " + temporary), folderFlush = at("fsync " + dir);
    EXPECT_LT(fileFlush, kept) << seen;
    EXPECT_LT(kept, move) << seen;
    EXPECT_LT(move, end) << seen;
    EXPECT_LT(move, folderFlush) << seen;
    EXPECT_LT(folderFlush, end) << seen;
#endif
}

}  // namespace
}  // namespace sorrelwick::test
