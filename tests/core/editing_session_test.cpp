// Editing sessions and the watch of an edited folder: one backup however
// often the user saves, a new one when the set changed behind the session's
// back; and which saves the watch takes, with the folder's changes and the
// clock played by the test.

#include "operations/editing_session.h"

#include <filesystem>
#include <fstream>
#include <functional>

#include "generators/png_builder.h"
#include "operations/texture_conversion.h"
#include "operations/texture_index.h"
#include "operations/texture_png.h"
#include "operations/texture_watch.h"
#include "format/png_image.h"
#include "report/messages.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

Bytes Picture(std::uint8_t seed) {
    return gen::MakePng(64, 64, 3, [seed](unsigned x, unsigned y) {
        return gen::Rgba{static_cast<std::uint8_t>(x * 3 + seed), static_cast<std::uint8_t>(y * 5),
                         seed, 255};
    });
}

const std::string kSessionBackup = "Set before this editing session: set1.000";

class SessionTest : public SetFixture {
protected:
    void SetUp() override { Write(original); }

    std::string Save(const std::string& name, const Bytes& bytes) const {
        const std::string path = platform::JoinPath(edits, name);
        EXPECT_TRUE(gen::WriteWholeFile(path, bytes));
        return path;
    }
    // The texture as the set holds it now.
    Bytes Stored() const {
        const auto textures = operations::IndexTextures(setPath);
        return textures ? operations::ReadTextureImage(setPath, textures->front()) : Bytes{};
    }
    // What a picture becomes in the set.
    Bytes Imported(const Bytes& picture) const {
        return operations::ConvertToStoredForm(picture, stored, true).image;
    }
    std::vector<std::string> Backups() const {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : Files())
            if (name.starts_with("set1.0")) names.push_back(name);
        return names;
    }
    static std::string Ending(const report::MemoryReportLog& report) {
        const Lines& lines = report.Lines();
        return lines.size() >= 3 ? lines[lines.size() - 3] : "";
    }

    const Bytes stored = Image(64, 64, 24);
    const Bytes original = SetOf({{"wood.tga", stored}}).Bytes();
    const std::string edits = Folder("edits");
};

TEST_F(SessionTest, FiveSavesLeaveOneBackupOfTheSetFromBeforeTheSession) {
    operations::EditingSession session;
    EXPECT_EQ(session.BackupName(), "");
    for (std::uint8_t save = 1; save <= 5; ++save) {
        SCOPED_TRACE(+save);
        report::MemoryReportLog report;
        EXPECT_TRUE(session.Import(state, "wood.tga", Save("wood.png", Picture(save)), report));
        EXPECT_EQ(Ending(report), save == 1 ? kRenamed : kSessionBackup);
        EXPECT_EQ(Stored(), Imported(Picture(save)));
        EXPECT_EQ(Backups(), Lines({"set1.000"}));
    }
    EXPECT_EQ(session.BackupName(), "set1.000");
    EXPECT_EQ(Files()["set1.000"], original);
}

// Between two saves something happens; the second save's ending, and the
// backups left. Nothing the session did not write is replaced unkept.
TEST_F(SessionTest, ASetChangedBehindTheSessionIsKeptAgain) {
    const Bytes elsewhere = SetOf({{"wood.tga", Image(64, 64, 24, 9)}}).Bytes();
    const struct {
        const char* what;
        std::function<void(SessionTest&)> between;
        std::string secondEnding;
        Lines backups;
    } cases[] = {
        {"nothing", [](SessionTest&) {}, kSessionBackup, {"set1.000"}},
        {"another program wrote the set", [&](SessionTest& t) { t.Write(elsewhere); },
         "Original file renamed to set1.001", {"set1.000", "set1.001"}},
        {"the backup was removed", [](SessionTest& t) { fs::remove(t.dir.File("set1.000")); },
         kRenamed, {"set1.000"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::string& name : Backups()) fs::remove(dir.File(name));
        Write(original);
        operations::EditingSession session;
        report::MemoryReportLog first, second;
        ASSERT_TRUE(session.Import(state, "wood.tga", Save("wood.png", Picture(1)), first));
        c.between(*this);
        ASSERT_TRUE(session.Import(state, "wood.tga", Save("wood.png", Picture(2)), second));
        EXPECT_EQ(Ending(second), c.secondEnding);
        EXPECT_EQ(Backups(), c.backups);
        EXPECT_EQ(Stored(), Imported(Picture(2)));
    }
}

TEST_F(SessionTest, RefusedOrFailedSavesTakeNoBackupNumber) {
    operations::EditingSession session;
    report::MemoryReportLog refused, first, failed, third;
    // Refused: nothing is rewritten, so the session has no backup yet.
    EXPECT_FALSE(session.Import(state, "wood.tga", Save("wood.png", Cut(Picture(1), 30)), refused));
    EXPECT_EQ(Backups(), Lines{});
    EXPECT_TRUE(session.Import(state, "wood.tga", Save("wood.png", Picture(2)), first));
    EXPECT_EQ(Ending(first), kRenamed);
    // The new set can't take the set's name: the set stays the session's.
    EXPECT_EQ(RunArmed(Armed(Operation::Move, 1, Why::AccessDenied),
                       [&] {
                           return session.Import(state, "wood.tga",
                                                 Save("wood.png", Picture(3)), failed);
                       }),
              std::make_pair(false, true));
    EXPECT_EQ(Stored(), Imported(Picture(2)));
    EXPECT_TRUE(session.Import(state, "wood.tga", Save("wood.png", Picture(4)), third));
    EXPECT_EQ(Ending(third), kSessionBackup);
    EXPECT_EQ(Backups(), Lines({"set1.000"}));
    EXPECT_EQ(Files().size(), 3u);  // the set, its backup, the edits: no temporary file left
}

// What the editor is given: a PNG of the texture's own channels (grey as
// grey, alpha as a channel of its own, the colour under a transparent pixel
// kept), never over a file there; and a save of it unchanged brings the
// very same texture back.
TEST_F(SessionTest, TheEditorsPngHoldsTheTextureAndComesBackUnchanged) {
    const gen::PixelFunction seeThrough = [](unsigned x, unsigned y) {
        return gen::Rgba{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4), 77,
                         static_cast<std::uint8_t>(x % 2 ? 0 : 255)};
    };
    const struct {
        const char* what;
        Bytes texture;
        std::uint8_t colourType;  // of the PNG: 0 grey, 2 RGB, 6 RGBA
    } cases[] = {
        {"grey", gen::MakeTga(64, 64, 8, seeThrough), 0},
        {"colour", gen::MakeTga(64, 64, 24, seeThrough), 2},
        {"colour and alpha", gen::MakeTga(64, 64, 32, seeThrough), 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::string& name : Backups()) fs::remove(dir.File(name));
        const Bytes set = SetOf({{"wood.tga", c.texture}}).Bytes();
        Write(set);
        const std::string png = platform::JoinPath(edits, std::string(c.what) + ".png");
        EXPECT_EQ(operations::WriteTextureAsPng(state, 0, png).outcome,
                  operations::PngWriteOutcome::Written);
        const Bytes written = FilesIn(edits)[std::string(c.what) + ".png"];
        ASSERT_GT(written.size(), 26u);
        EXPECT_EQ(written[25], c.colourType);
        const format::PngDecodeResult decoded = format::DecodePng(written);
        EXPECT_EQ(decoded.image.rgba, format::DecodeTga(c.texture).image.rgba);
        // Never over the user's file.
        EXPECT_EQ(operations::WriteTextureAsPng(state, 0, png).outcome,
                  operations::PngWriteOutcome::AlreadyExists);
        operations::EditingSession session;
        report::MemoryReportLog report;
        EXPECT_TRUE(session.Import(state, "wood.tga", png, report));
        EXPECT_EQ(SetBytes(), set);
    }
    EXPECT_EQ(operations::WriteTextureAsPng(state, 1, dir.File("none.png")).outcome,
              operations::PngWriteOutcome::Unreadable);
}

// The folder's changes as a script: at each moment, what an editor does to
// the folder and the names the system would report for it. The clock moves
// only as the watch waits.
class ScriptedFolder final : public platform::FolderChanges {
public:
    struct Step {
        std::chrono::milliseconds at;
        std::function<void()> act;
        Lines reported;
    };
    ScriptedFolder(std::vector<Step> steps) : steps_(std::move(steps)) {}

    platform::WatchWait WaitForChanges(std::chrono::milliseconds timeout, Lines& names) override {
        if (next_ < steps_.size() && steps_[next_].at <= elapsed_ + timeout) {
            elapsed_ = std::max(elapsed_, steps_[next_].at);
            steps_[next_].act();
            names = steps_[next_].reported;
            ++next_;
            return platform::WatchWait::Changed;
        }
        elapsed_ += timeout;
        // Long after the last step, the user presses Ctrl+C.
        const bool over = next_ == steps_.size() && elapsed_ > steps_.back().at + 3s;
        return over ? platform::WatchWait::Stopped : platform::WatchWait::TimedOut;
    }
    operations::SaveDetector::Clock::time_point Now() const {
        return operations::SaveDetector::Clock::time_point(elapsed_);
    }

private:
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::chrono::milliseconds elapsed_{0};
};

struct WatchCase {
    const char* what;
    std::vector<ScriptedFolder::Step> script;
    std::size_t imports;            // "Importing" headings
    std::optional<Bytes> finally;   // the texture the set ends with; nullopt: unchanged
    bool succeeded = true;
};

class WatchTest : public SessionTest {
protected:
    std::function<void()> Writes(const std::string& name, Bytes bytes, bool append = false) {
        return [this, name, bytes, append] {
            const std::string path = platform::JoinPath(edits, name);
            Bytes whole = append ? ReadWholeFile(path) : Bytes{};
            whole.insert(whole.end(), bytes.begin(), bytes.end());
            ASSERT_TRUE(gen::WriteWholeFile(path, whole));
        };
    }
    static Bytes ReadWholeFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    std::function<void()> Renames(const std::string& from, const std::string& to) {
        return [this, from, to] {
            fs::rename(platform::JoinPath(edits, from), platform::JoinPath(edits, to));
        };
    }
    std::function<void()> Deletes(const std::string& name) {
        return [this, name] { fs::remove(platform::JoinPath(edits, name)); };
    }
};

TEST_F(WatchTest, EachSaveIsImportedOnceWholeAndTheLastOfQuickSavesWins) {
    const Bytes a = Picture(10), b = Picture(20);
    const std::size_t third = a.size() / 3;
    const Bytes piece1(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(third));
    const Bytes piece2(a.begin() + static_cast<std::ptrdiff_t>(third),
                       a.begin() + static_cast<std::ptrdiff_t>(2 * third));
    const Bytes piece3(a.begin() + static_cast<std::ptrdiff_t>(2 * third), a.end());
    // clang-format off
    const WatchCase cases[] = {
        {"written in three pieces with pauses", {
            {0ms, Writes("wood.png", piece1), {"wood.png"}},
            {120ms, Writes("wood.png", piece2, true), {"wood.png"}},
            {240ms, Writes("wood.png", piece3, true), {"wood.png"}}}, 1, Imported(a)},
        {"saved by rename", {
            {0ms, Writes("wood.png.tmp", a), {"wood.png.tmp"}},
            {20ms, Renames("wood.png.tmp", "wood.png"), {"wood.png"}}}, 1, Imported(a)},
        {"two quick saves", {
            {0ms, Writes("wood.png", a), {"wood.png"}},
            {150ms, Writes("wood.png", b), {"wood.png"}}}, 1, Imported(b)},
        {"deleted before it was taken", {
            {0ms, Writes("wood.png", a), {"wood.png"}},
            {100ms, Deletes("wood.png"), {}}}, 0, std::nullopt},
        {"a refused file, then a good one", {
            {0ms, Writes("wood.png", piece1), {"wood.png"}},
            {900ms, Writes("wood.png", a), {"wood.png"}}}, 2, Imported(a), false},
        {"two saves apart", {
            {0ms, Writes("wood.png", a), {"wood.png"}},
            {900ms, Writes("WOOD.PNG", b), {"WOOD.PNG"}}}, 2, Imported(b)},
        {"the .tga itself", {
            {0ms, Writes("wood.tga", Image(64, 64, 24, 3)), {"wood.tga"}}}, 1, Image(64, 64, 24, 3)},
        {"files of no texture", {
            {0ms, Writes("notes.png", a), {"notes.png"}},
            {10ms, Writes("wood.txt", a), {"wood.txt"}}}, 0, std::nullopt},
    };
    // clang-format on
    for (const WatchCase& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& entry : fs::directory_iterator(edits)) fs::remove(entry.path());
        for (const std::string& name : Backups()) fs::remove(dir.File(name));
        Write(original);
        ScriptedFolder folder(c.script);
        operations::WatchSettings settings;
        settings.options = {true, true, nullptr};
        settings.now = [&folder] { return folder.Now(); };
        report::MemoryReportLog report;
        EXPECT_EQ(operations::WatchFolder(state, edits, folder, settings, report), c.succeeded);
        std::size_t imports = 0;
        for (const std::string& line : report.Lines()) imports += line.starts_with("Importing");
        EXPECT_EQ(imports, c.imports);
        const bool rewritten = c.imports > 0;
        EXPECT_EQ(Stored(), c.finally.value_or(stored));
        EXPECT_EQ(Backups().size(), rewritten ? 1u : 0u);
        EXPECT_EQ(report.Lines()[report.Lines().size() - 4],
                  report::msg::StoppedWatching(edits, c.imports - !c.succeeded, !c.succeeded));
    }
}

TEST_F(WatchTest, AFolderOrSetThatCantBeWatchedGetsOneLine) {
    ScriptedFolder folder({{0ms, [] {}, {}}});
    report::MemoryReportLog report;
    EXPECT_FALSE(operations::WatchFolder(state, Folder("edits") + "/missing", folder, {}, report));
    EXPECT_TRUE(report.Lines()[3].starts_with("Error - "));
    Write(Bytes(10, 1));  // no chess set
    report::MemoryReportLog notASet;
    EXPECT_FALSE(operations::WatchFolder(state, edits, folder, {}, notASet));
    EXPECT_EQ(notASet.Lines(), Framed(report::msg::Watching(edits, "set1.DAT"), {kBadFormat}));
}

}  // namespace
}  // namespace sorrelwick::test
