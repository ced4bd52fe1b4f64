// The rows of a folder's mods as the window lists them: each mod's state
// against the set and the other mods that change one of its pieces, a
// texture or a material; a folder or set that can't be told says why.

#include "mod/mods_overview.h"

#include "mod/mod_messages.h"
#include "mod/mod_pack.h"
#include "mod/mods_messages.h"
#include "mod/mods_report.h"
#include "platform/file_system.h"
#include "report/messages.h"
#include "support/mod_set_looks.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

const Look kBase;
// red.zip: the wood, the marble and the board's shininess. blue.zip shares
// the marble with it, shiny.zip the board's material alone, felt.zip
// nothing.
const Look kRed{.wood = Image(8, 8, 24, 7), .marble = Image(4, 4, 32, 8), .boardShininess = 90};
const Look kBlue{.marble = Image(4, 4, 32, 5)};
const Look kShiny{.boardShininess = 60};
const Look kFelt{.felt = Image(16, 16, 24, 6)};

constexpr char kDiffers[] = "Can't apply: 1 piece differs from the mod's base";

struct Expected {
    const char* name;
    const char* state;  // empty: the line of a mod that can't be read
    std::vector<std::string> sharesWith;
};

struct SetCase {
    const char* what;
    Look set;
    std::vector<Expected> rows;
};

class ModsOverview : public SetFixture {
protected:
    std::string InMods(const std::string& name) const {
        return platform::JoinPath(Folder("mods"), name);
    }
    void Pack(const std::string& name, const Look& changed) {
        ASSERT_TRUE(gen::WriteWholeFile(dir.File("changed.DAT"), SetLooking(changed)));
        ASSERT_TRUE(gen::WriteWholeFile(dir.File("base.DAT"), SetLooking(kBase)));
        ToolState packState;
        SetLoadedSet(packState, dir.File("changed.DAT"));
        report::MemoryReportLog packLog;
        ASSERT_TRUE(mod::PackMod(
            packState, {dir.File("base.DAT"), InMods(name), name, "Me", {}, false}, &packLog));
        std::filesystem::remove(dir.File("changed.DAT"));
        std::filesystem::remove(dir.File("base.DAT"));
    }
};

TEST_F(ModsOverview, TellsEachModsStateAndTheModsItSharesAPieceWith) {
    Pack("red.zip", kRed);
    Pack("blue.zip", kBlue);
    Pack("shiny.zip", kShiny);
    Pack("felt.zip", kFelt);
    ASSERT_TRUE(gen::WriteWholeFile(InMods("broken.zip"), Bytes{'P', 'K', 3, 4}));
    // clang-format off
    const SetCase cases[] = {
        {"the base", kBase, {
            {"blue.zip", "Not applied", {"red.zip"}},
            {"broken.zip", "", {}},
            {"felt.zip", "Not applied", {}},
            {"red.zip", "Not applied", {"blue.zip", "shiny.zip"}},
            {"shiny.zip", "Not applied", {"red.zip"}}}},
        {"red applied", kRed, {
            {"blue.zip", kDiffers, {"red.zip"}},
            {"broken.zip", "", {}},
            {"felt.zip", "Not applied", {}},
            {"red.zip", "Applied", {"blue.zip", "shiny.zip"}},
            {"shiny.zip", kDiffers, {"red.zip"}}}},
        {"blue and felt applied", {.marble = kBlue.marble, .felt = kFelt.felt}, {
            {"blue.zip", "Applied", {"red.zip"}},
            {"broken.zip", "", {}},
            {"felt.zip", "Applied", {}},
            {"red.zip", kDiffers, {"blue.zip", "shiny.zip"}},
            {"shiny.zip", "Not applied", {"red.zip"}}}},
    };
    // clang-format on
    for (const SetCase& c : cases) {
        SCOPED_TRACE(c.what);
        Write(SetLooking(c.set));
        const FolderContents before = Files();
        report::MemoryReportLog why;
        const auto rows = mod::OverviewOfMods(state, Folder("mods"), why);
        ASSERT_TRUE(rows);
        EXPECT_EQ(why.Lines(), Lines{});
        ASSERT_EQ(rows->size(), c.rows.size());
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            const mod::ModOverview& row = (*rows)[i];
            const Expected& want = c.rows[i];
            const std::string path = InMods(want.name);
            EXPECT_EQ(row.name, want.name);
            EXPECT_EQ(row.path, path);
            EXPECT_EQ(row.readable, *want.state != '\0');
            EXPECT_EQ(row.state, *want.state ? want.state : mod::msg::NotAModFile(path));
            EXPECT_EQ(row.title, row.readable ? want.name : "");
            EXPECT_EQ(row.sharesPiecesWith, want.sharesWith) << want.name;
        }
        EXPECT_EQ(Files(), before);  // nothing written
    }
    EXPECT_EQ(mod::FirstChangedImage(InMods("felt.zip")), kFelt.felt);
    EXPECT_EQ(mod::FirstChangedImage(InMods("red.zip")), kRed.wood);
    EXPECT_EQ(mod::FirstChangedImage(InMods("shiny.zip")), std::nullopt);
    EXPECT_EQ(mod::FirstChangedImage(InMods("broken.zip")), std::nullopt);
}

TEST_F(ModsOverview, SaysWhyItListsNothing) {
    Write(SetLooking(kBase));
    const std::string empty = Folder("empty"), missing = dir.File("missing");
    const struct {
        const char* what;
        std::string folder;
        bool loaded;
        std::string line;
    } cases[] = {
        {"a folder without mods", empty, true, mod::msg::NoModsIn(empty)},
        {"no folder there", missing, true, report::msg::NotAFolder(missing)},
        {"no set loaded", empty, false, std::string(report::msg::kInvalidLoadPath)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ToolState asked = c.loaded ? state : ToolState{};
        report::MemoryReportLog why;
        EXPECT_EQ(mod::OverviewOfMods(asked, c.folder, why), std::nullopt);
        EXPECT_EQ(why.Lines(), Lines{c.line});
    }
}

}  // namespace
}  // namespace sorrelwick::test
