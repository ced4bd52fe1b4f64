// `sorrelwick-cli watch` as a user runs it, through the system's own watch
// of the folder: an editor's saves (in pieces, by rename) each taken once
// and whole, one backup for the session, and
// Ctrl+C or SIGTERM, idle or in the middle of an import, ending the watch
// with the set whole.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "generators/chess_set_builder.h"
#include "generators/picture_builder.h"
#include "generators/png_builder.h"
#include "generators/tga_builder.h"
#include "operations/texture_conversion.h"
#include "operations/texture_index.h"
#include "report/messages.h"
#include "support/temp_dir.h"

namespace sorrelwick::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// A watch running as its own process, its report read through a pipe.
class RunningWatch {
public:
    explicit RunningWatch(std::vector<std::string> arguments) {
        int pipeEnds[2];
        EXPECT_EQ(pipe(pipeEnds), 0);
        const std::string program = SORRELWICK_CLI_PATH;
        arguments.insert(arguments.begin(), {program, "watch"});
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(pipeEnds[1], STDOUT_FILENO);
            close(pipeEnds[0]);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(pipeEnds[1]);
        output_ = pipeEnds[0];
    }
    ~RunningWatch() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(output_);
    }
    RunningWatch(const RunningWatch&) = delete;
    RunningWatch& operator=(const RunningWatch&) = delete;

    // Reads the report until it holds `count` lines that begin with
    // `start`; false when a minute went by first (a hang, not a timing).
    bool WaitFor(const std::string& start, std::size_t count = 1) {
        const auto until = std::chrono::steady_clock::now() + 60s;
        while (Count(start) < count) {
            if (std::chrono::steady_clock::now() > until) return false;
            pollfd wait{output_, POLLIN, 0};
            if (poll(&wait, 1, 100) <= 0) continue;
            char block[4096];
            const ssize_t got = read(output_, block, sizeof block);
            if (got <= 0) return Count(start) >= count;
            text_.append(block, static_cast<std::size_t>(got));
        }
        return true;
    }
    std::size_t Count(const std::string& start) const {
        std::size_t count = 0;
        for (std::size_t at = 0; at < text_.size();) {
            const std::size_t end = text_.find('\n', at);
            if (end == std::string::npos) break;
            count += text_.compare(at, start.size(), start) == 0;
            at = end + 1;
        }
        return count;
    }
    // Sends `signal` and waits for the end: the exit status, or -1 when the
    // process ended otherwise.
    int StopWith(int signal) {
        kill(pid_, signal);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        WaitFor("\x01");  // the rest of the report
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    const std::string& Text() const { return text_; }

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string text_;
};

Bytes ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    ASSERT_TRUE(gen::WriteWholeFile(path.string(), bytes));
}

Bytes CutShort(Bytes bytes) {
    bytes.resize(bytes.size() / 2);
    return bytes;
}

gen::PixelFunction Painted(std::uint8_t seed) {
    return [seed](unsigned x, unsigned y) {
        return gen::Rgba{static_cast<std::uint8_t>(x * 5 + seed), static_cast<std::uint8_t>(y * 3),
                         static_cast<std::uint8_t>(seed * 7), 255};
    };
}

// The texture `name` as the set at `set` holds it.
Bytes StoredTexture(const fs::path& set, const std::string& name) {
    const auto textures = operations::IndexTextures(set.string());
    if (!textures) return {};
    for (const operations::IndexedTexture& texture : *textures) {
        if (texture.name == name) return operations::ReadTextureImage(set.string(), texture);
    }
    return {};
}

class WatchCli : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(edits);
        gen::ChessSetBuilder builder;
        builder.Signature(7);
        for (const auto& [name, image] : textures)
            builder.TextureReference(name).TextureImage(image);
        original = builder.Bytes();
        WriteFile(set, original);
    }
    // What `picture` becomes in the texture `name`, fitted.
    Bytes Fitted(const std::string& name, const Bytes& picture) const {
        for (const auto& [texture, image] : textures) {
            if (texture == name) return operations::ConvertToStoredForm(picture, image, true).image;
        }
        return {};
    }
    std::vector<std::string> LeftBeside() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    const TempDir dir;
    const fs::path set = dir.Path() / "set.DAT", edits = dir.Path() / "edits";
    const std::vector<std::pair<std::string, Bytes>> textures = {
        {"wood.tga", gen::MakeTga(64, 64, 24, Painted(1))},
        {"marble.tga", gen::MakeTga(64, 64, 32, Painted(2))}};
    Bytes original;
};

const std::string kImported = "Importing textures from ";
const std::string kTaken = "  ";  // texture lines are indented

TEST_F(WatchCli, TakesEachSaveOnceWholeWithOneBackupUntilCtrlC) {
    RunningWatch watch({set.string(), edits.string(), "--fit"});
    ASSERT_TRUE(watch.WaitFor("Watching "));
    // A PNG written in three pieces, with pauses longer than the quiet
    // period, through one open file as an editor streams it.
    const Bytes wood = gen::MakePng(64, 64, 3, Painted(40));
    {
        std::ofstream out(edits / "wood.png", std::ios::binary);
        const std::size_t third = wood.size() / 3;
        for (std::size_t piece = 0; piece < 3; ++piece) {
            const std::size_t end = piece == 2 ? wood.size() : (piece + 1) * third;
            out.write(reinterpret_cast<const char*>(wood.data() + piece * third),
                      static_cast<std::streamsize>(end - piece * third));
            out.flush();
            std::this_thread::sleep_for(300ms);
        }
    }
    ASSERT_TRUE(watch.WaitFor(kImported, 1) && watch.WaitFor("Original file renamed to set.000"));
    // Saved by rename: the editor writes another name and moves it over.
    // (Other formats and sizes are the core's tests.)
    const Bytes woodAgain = gen::MakePng(64, 64, 4, Painted(70));
    WriteFile(edits / "wood.png.part", woodAgain);
    fs::rename(edits / "wood.png.part", edits / "wood.png");
    ASSERT_TRUE(watch.WaitFor("Set before this editing session: set.000", 1));

    EXPECT_EQ(watch.StopWith(SIGINT), 0);
    EXPECT_EQ(watch.Count(kImported), 2u) << watch.Text();
    EXPECT_EQ(watch.Count("  wood.tga"), 2u);
    EXPECT_EQ(watch.Count(report::msg::StoppedWatching(edits.string(), 2, 0)), 1u);
    EXPECT_EQ(StoredTexture(set, "wood.tga"), Fitted("wood.tga", woodAgain));
    EXPECT_EQ(ReadWholeFile(dir.Path() / "set.000"), original);
    EXPECT_EQ(LeftBeside(), std::vector<std::string>({"edits", "set.000", "set.DAT"}));
}

// Each stop signal, while idle: the watch ends at once, with its closing,
// and its exit status says whether every import succeeded.
TEST_F(WatchCli, CtrlCOrTerminateWhileIdleEndsTheWatch) {
    const struct {
        const char* what;
        int signal;
        std::vector<std::pair<std::string, Bytes>> saves;
        int status;
    } cases[] = {
        {"Ctrl+C, nothing saved", SIGINT, {}, 0},
        {"terminate, nothing saved", SIGTERM, {}, 0},
        {"Ctrl+C after a refused save", SIGINT,
         {{"wood.png", CutShort(gen::MakePng(64, 64, 3, Painted(9)))}},
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RunningWatch watch({set.string(), edits.string(), "--convert"});
        ASSERT_TRUE(watch.WaitFor("Watching "));
        for (const auto& [name, bytes] : c.saves) {
            WriteFile(edits / name, bytes);
            ASSERT_TRUE(watch.WaitFor("  wood.tga"));
        }
        EXPECT_EQ(watch.StopWith(c.signal), c.status);
        EXPECT_EQ(watch.Count("Stopped watching "), 1u) << watch.Text();
        EXPECT_EQ(ReadWholeFile(set), original);
        EXPECT_EQ(LeftBeside(), std::vector<std::string>({"edits", "set.DAT"}));
    }
}

// A set large enough that an import takes a while, and Ctrl+C at moments
// spread over a save's import: the import finishes (its lines are all
// there and the set holds the new texture) or never began (the set as it
// was); the set is whole either way and no temporary file is left.
TEST_F(WatchCli, CtrlCDuringAnImportLetsItFinishOrLeavesTheSet) {
    gen::ChessSetBuilder big;
    big.Signature(7);
    big.TextureReference("wood.tga").TextureImage(gen::MakeTga(64, 64, 24, Painted(1)));
    const Bytes filler = gen::MakeTga(1024, 1024, 32, Painted(2));
    for (int i = 0; i < 4; ++i) big.TextureReference("t" + std::to_string(i) + ".tga").TextureImage(filler);
    const Bytes before = big.Bytes();
    const Bytes picture = gen::MakePng(64, 64, 3, Painted(80));
    int finished = 0, untouched = 0;
    for (int run = 0; run < 6; ++run) {
        SCOPED_TRACE(run);
        for (const auto& entry : fs::directory_iterator(dir.Path())) fs::remove_all(entry.path());
        fs::create_directory(edits);
        WriteFile(set, before);
        RunningWatch watch({set.string(), edits.string(), "--convert"});
        ASSERT_TRUE(watch.WaitFor("Watching "));
        WriteFile(edits / "wood.png.part", picture);
        fs::rename(edits / "wood.png.part", edits / "wood.png");
        // From before the quiet period ends to well into the rewrite.
        std::this_thread::sleep_for(150ms + run * 40ms);
        EXPECT_EQ(watch.StopWith(SIGINT), 0);
        const bool imported = watch.Count("Original file renamed to set.000") == 1;
        EXPECT_EQ(watch.Count(kImported), imported ? 1u : 0u) << watch.Text();
        if (imported) {
            ++finished;
            EXPECT_EQ(ReadWholeFile(dir.Path() / "set.000"), before);
            EXPECT_EQ(StoredTexture(set, "wood.tga"),
                      operations::ConvertToStoredForm(picture, gen::MakeTga(64, 64, 24, Painted(1)))
                          .image);
        } else {
            ++untouched;
            EXPECT_EQ(ReadWholeFile(set), before);
        }
        EXPECT_EQ(LeftBeside().size(), imported ? 3u : 2u);
    }
    std::cout << "Ctrl+C during a watch: " << finished << " imports finished, " << untouched
              << " not begun\n";
}

}  // namespace
}  // namespace sorrelwick::test
