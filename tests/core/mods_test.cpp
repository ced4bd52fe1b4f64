// Several mods over one set: each mod's state told from the set and the
// manifests alone, the pieces two mods change, taking a mod out again with
// its bases from the backups, and the page of the mods.

#include "format/sha256.h"
#include "mod/mod_apply.h"
#include "mod/mod_file.h"
#include "mod/mod_pack.h"
#include "mod/mod_question.h"
#include "mod/mod_unapply.h"
#include "mod/mod_writer.h"
#include "mod/mods_report.h"
#include "report/lines.h"
#include "support/page_pictures.h"
#include "support/reasons.h"
#include "support/mod_set_looks.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

const Look kBase;
// The red mod: two textures and the board's shininess, three pieces.
const Look kRed{.wood = Image(8, 8, 24, 7), .marble = Image(8, 8, 32, 8), .boardShininess = 90};
// The blue mod changes the marble too, and the felt.
const Look kBlue{.marble = Image(4, 4, 32, 5), .felt = Image(16, 16, 24, 6)};

Look With(Look look, const Look& from, bool wood, bool marble, bool felt, bool board) {
    if (wood) look.wood = from.wood;
    if (marble) look.marble = from.marble;
    if (felt) look.felt = from.felt;
    if (board) look.boardShininess = from.boardShininess;
    return look;
}

class ModsTest : public SetFixture {
protected:
    // Packs what `changed` changes in kBase into `name`, beside the set but
    // never touching it or its backups.
    std::string Pack(const std::string& name, const Look& changed, const std::string& title) {
        EXPECT_TRUE(gen::WriteWholeFile(dir.File("changed.DAT"), SetLooking(changed)));
        EXPECT_TRUE(gen::WriteWholeFile(dir.File("base.DAT"), SetLooking(kBase)));
        ToolState packState;
        SetLoadedSet(packState, dir.File("changed.DAT"));
        report::MemoryReportLog packLog;
        const std::string path = dir.File(name);
        EXPECT_TRUE(mod::PackMod(packState, {dir.File("base.DAT"), path, title, "Me", {}, false},
                                 &packLog));
        std::filesystem::remove(dir.File("changed.DAT"));
        std::filesystem::remove(dir.File("base.DAT"));
        return path;
    }
    Lines Mods(const std::vector<std::string>& mods, bool* result = nullptr,
               const std::string& page = {}, unsigned jobs = 0) {
        report::MemoryReportLog modsLog;
        const bool read = mod::ReportMods(state, {mods, page, false, jobs}, &modsLog);
        if (result) *result = read;
        return modsLog.Lines();
    }
    bool Unapply(const std::string& modPath, bool check = false) {
        return mod::UnapplyMod(state, {modPath, check}, &log);
    }
    void Apply(const std::string& modPath, bool force = false) {
        report::MemoryReportLog applyLog;
        mod::ApplyMod(state, {modPath, false, force}, &applyLog);
    }
};

std::string StateLine(const std::string& mod, const std::string& title, const std::string& state) {
    return report::NameMessageLine(mod, "\"" + title + "\" by Me: " + state);
}

struct StateCase {
    const char* what;
    Look set;
    const char* state;
};

// clang-format off
const StateCase kStates[] = {
    {"the base", kBase, "Not applied"},
    {"a set that differs elsewhere", {.felt = Image(16, 16, 24, 9)}, "Not applied"},
    {"the mod applied", kRed, "Applied"},
    {"one texture applied", With(kBase, kRed, true, false, false, false),
     "Partly applied (1 of 3 pieces)"},
    {"two applied, one changed since", With(kRed, kBlue, false, true, false, false),
     "Partly applied (2 of 3 pieces)"},
    {"a texture changed on its own", With(kBase, kBlue, false, true, false, false),
     "Can't apply: 1 piece differs from the mod's base"},
    {"a texture missing", {.withMarble = false}, "Can't apply: 1 piece is not in set1.DAT"},
};
// clang-format on

TEST_F(ModsTest, TellsEachStateOfOneMod) {
    const std::string red = Pack("red.zip", kRed, "Red");
    for (const StateCase& c : kStates) {
        SCOPED_TRACE(c.what);
        Write(SetLooking(c.set));
        const FolderContents before = Files();
        bool read = false;
        EXPECT_EQ(Mods({red}, &read),
                  Framed("Mods against set1.DAT", {StateLine("red.zip", "Red", c.state)}));
        EXPECT_TRUE(read);
        EXPECT_EQ(Files(), before);  // nothing written
    }
}

struct ConflictCase {
    const char* what;
    Look set;
    const char* holds;
};

// clang-format off
const ConflictCase kConflicts[] = {
    {"the set holds the first's", kRed, "the set holds red.zip's"},
    {"the set holds the second's", With(kRed, kBlue, false, true, true, false),
     "the set holds blue.zip's"},
    {"the set holds neither's", kBase, "the set holds none of theirs"},
};
// clang-format on

TEST_F(ModsTest, NamesWhoseChangeTheSetHoldsOfAPieceTwoModsChange) {
    Pack("red.zip", kRed, "Red");
    Pack("blue.zip", kBlue, "Blue");
    for (const ConflictCase& c : kConflicts) {
        SCOPED_TRACE(c.what);
        Write(SetLooking(c.set));
        // A folder stands for its .zip files in name order.
        const Lines lines = Mods({dir.Path().string()});
        ASSERT_GE(lines.size(), 7u);
        EXPECT_EQ(lines[3].substr(0, 10), "  blue.zip");
        EXPECT_EQ(lines[4].substr(0, 9), "  red.zip");
        EXPECT_TRUE(
            Has(lines, "marble.tga: changed by blue.zip and red.zip; " + std::string(c.holds)));
    }
}

TEST_F(ModsTest, NamesAModThatCantBeReadAndTellsTheOthers) {
    const std::string red = Pack("red.zip", kRed, "Red");
    Write(SetLooking(kRed));
    // A manifest that claims a texture its zip does not hold.
    mod::ModFile mod = *mod::ReadModFile(red);
    mod.manifest.textures.push_back(mod.manifest.textures[0]);
    mod.manifest.textures.back().name = "felt.tga";
    mod.manifest.textures.back().entry = "textures/009-felt.tga";
    mod::ZipWriter zip;
    const std::string json = mod::ManifestJson(mod.manifest);
    zip.Add("mod.json", {reinterpret_cast<const std::uint8_t*>(json.data()), json.size()});
    for (std::size_t i = 0; i < mod.payloads.size(); ++i) {
        zip.Add(mod.manifest.textures[i].entry, mod.payloads[i]);
    }
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("claims.zip"), zip.Finish()));
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("junk.zip"), Image(4, 4, 24)));
    const FolderContents before = Files();
    bool read = true;
    const Lines lines =
        Mods({dir.File("claims.zip"), red, dir.File("junk.zip"), dir.File("gone.zip")}, &read);
    EXPECT_FALSE(read);
    EXPECT_TRUE(
        Has(lines, "Error - " + dir.File("claims.zip") + " is not a mod file that can be read"));
    EXPECT_TRUE(
        Has(lines, "Error - " + dir.File("junk.zip") + " is not a mod file that can be read"));
    EXPECT_TRUE(Has(lines, "Error - Could not open " + dir.File("gone.zip")));
    EXPECT_TRUE(Has(lines, ReasonLine(Why::NotFound)));
    EXPECT_TRUE(Has(lines, StateLine("red.zip", "Red", "Applied")));
    // Taking out a mod that is not there says why, and writes nothing.
    EXPECT_FALSE(Unapply(dir.File("gone.zip")));
    const Lines unapplied = log.Lines();
    const auto opened = std::find(unapplied.begin(), unapplied.end(),
                                  "Error - Could not open " + dir.File("gone.zip"));
    ASSERT_NE(opened, unapplied.end());
    ASSERT_NE(opened + 1, unapplied.end());
    EXPECT_EQ(opened[1], ReasonLine(Why::NotFound));
    EXPECT_EQ(Files(), before);
}

struct TakeOutCase {
    const char* what;
    // Applied in turn to the base, the second with force; then the first
    // taken out.
    std::vector<Look> mods;
    bool keepBackups;
    bool check;
    Look expected;
    bool result;
};

// clang-format off
const TakeOutCase kTakeOuts[] = {
    {"alone: the set as it was", {kRed}, true, false, kBase, true},
    {"check writes nothing", {kRed}, true, true, kRed, true},
    {"after another mod changed a piece: that piece left", {kRed, kBlue}, true, false,
     With(kBase, kBlue, false, true, true, false), false},
    {"no backup: the materials alone", {kRed}, false, false,
     With(kRed, kBase, false, false, false, true), false},
};
// clang-format on

TEST_F(ModsTest, TakesOutOnlyWhatTheModMade) {
    const std::string paths[] = {Pack("red.zip", kRed, "Red"), Pack("blue.zip", kBlue, "Blue")};
    for (const TakeOutCase& c : kTakeOuts) {
        SCOPED_TRACE(c.what);
        for (const std::string& name : dir.Entries()) {
            if (name.starts_with("set1.0")) std::filesystem::remove(dir.File(name));
        }
        Write(SetLooking(kBase));
        for (std::size_t i = 0; i < c.mods.size(); ++i) Apply(paths[i], i > 0);
        if (!c.keepBackups) {
            for (const std::string& name : dir.Entries()) {
                if (name.starts_with("set1.0")) std::filesystem::remove(dir.File(name));
            }
        }
        const FolderContents before = Files();
        EXPECT_EQ(Unapply(paths[0], c.check), c.result);
        EXPECT_EQ(SetBytes(), SetLooking(c.expected));
        if (c.check) {
            EXPECT_EQ(Files(), before);
        }
    }
    EXPECT_TRUE(Has(log.Lines(),
                    report::TextureInfoLine("marble.tga", 4, 4, 32,
                                            "changed since the mod was applied: left as it is")));
    EXPECT_TRUE(Has(log.Lines(), report::TextureInfoLine(
                                     "wood.tga", 8, 8, 24,
                                     "the image before the mod is in no backup of set1.DAT")));
}

TEST_F(ModsTest, FindsTheBaseInTheOldestBackupAndWritesNothingWhenNothingIsLeft) {
    const std::string red = Pack("red.zip", kRed, "Red");
    Write(SetLooking(kBase));
    Apply(red);  // set1.000 holds the base
    // Two later changes: their backups hold the mod's images.
    Apply(Pack("felt1.zip", {.felt = Image(16, 16, 24, 11)}, "Felt"));
    Apply(Pack("felt2.zip", {.felt = Image(16, 16, 24, 12)}, "Felt"), true);
    ASSERT_TRUE(std::filesystem::exists(dir.File("set1.002")));
    EXPECT_TRUE(Unapply(red));
    EXPECT_EQ(SetBytes(), SetLooking({.felt = Image(16, 16, 24, 12)}));
    // Taken out already: nothing written, no backup used.
    const FolderContents before = Files();
    EXPECT_TRUE(Unapply(red));
    EXPECT_EQ(Files(), before);
    EXPECT_TRUE(
        Has(log.Lines(), "Nothing of the mod to take out of set1.DAT: nothing was written"));
}

// A failed call anywhere in taking a mod out leaves the set with the mod in
// it and nothing else written, or rewritten with its backup, each piece the
// mod's or as before it: never less than a whole set. (What a lasting fault
// does to the rewrite itself is the guarded rewrite's own sweep.)
TEST_F(ModsTest, NoSingleFaultLosesTheSet) {
    const std::string red = Pack("red.zip", kRed, "Red");
    ForEveryFault([&](const FaultPlan& plan) {
        if (plan.persistent) return false;
        for (const std::string& name : dir.Entries()) {
            if (name.starts_with("set1.")) std::filesystem::remove(dir.File(name));
        }
        Write(SetLooking(kBase));
        Apply(red);
        const FolderContents before = Files();
        const auto [result, fired] = RunArmed(plan, [&] { return Unapply(red); });
        FolderContents after = Files();
        if (after == before) {
            EXPECT_FALSE(result);
        } else {
            // Each piece the mod's or as before it: a backup that could not
            // be read keeps some images from being found, and a folder
            // that could not be flushed fails a rewrite that is in place.
            bool whole = false;
            for (const bool wood : {false, true}) {
                for (const bool marble : {false, true}) {
                    for (const bool board : {false, true}) {
                        whole = whole || after["set1.DAT"] ==
                                             SetLooking(With(kRed, kBase, wood, marble, false, board));
                    }
                }
            }
            EXPECT_TRUE(whole);
            if (result) {
                EXPECT_EQ(after["set1.DAT"], SetLooking(kBase));
            }
            EXPECT_EQ(after["set1.001"], SetLooking(kRed));
            after.erase("set1.001");
            after["set1.DAT"] = SetLooking(kRed);
            EXPECT_EQ(after, before);  // nothing else
        }
        return fired;
    });
}

// Telling mods writes nothing but its page, and that whole or not at all,
// whichever call fails. (What a lasting fault leaves of a page's temporary
// file is the page writer's own sweep.)
TEST_F(ModsTest, AFailedCallLeavesNoPageButAWholeOne) {
    const std::vector<std::string> mods = {Pack("red.zip", kRed, "Red"),
                                           Pack("blue.zip", kBlue, "Blue")};
    Write(SetLooking(kBase));
    const std::string page = dir.File("mods.html");
    ASSERT_TRUE(mod::ReportMods(state, {mods, page, false}, &log));
    const Bytes whole = gen::ReadWholeFile(page);
    std::filesystem::remove(page);
    const FolderContents before = Files();
    // On one thread, and with the pictures made on a pool.
    for (const unsigned jobs : {1u, 3u}) {
        SCOPED_TRACE(::testing::Message() << jobs << " threads");
        ForEveryFault([&](const FaultPlan& plan) {
            if (plan.persistent) return false;
            const auto [result, fired] = RunArmed(plan, [&] {
                return mod::ReportMods(state, {mods, page, false, jobs}, &log);
            });
            FolderContents after = Files();
            if (after.erase("mods.html") == 1) {
                // Whole, or with a card that says its mod could not be read.
                const Bytes written = gen::ReadWholeFile(page);
                EXPECT_TRUE(result ? written == whole
                                   : std::string(written.end() - 8, written.end()) == "</html>\n");
            }
            EXPECT_EQ(after, before);
            std::filesystem::remove(page);
            EXPECT_EQ(result, !fired);
            return fired;
        });
    }
}

// Pictures made on several threads: the same page, byte for byte, and the
// same report as on one, with cards whose base the set holds and cards
// whose base it does not, and a mod that can't be read among them.
TEST_F(ModsTest, ThePageIsTheSameOnOneThreadAndOnMany) {
    const std::vector<std::string> mods = {Pack("red.zip", kRed, "Red"),
                                           Pack("blue.zip", kBlue, "Blue"), dir.File("none.zip")};
    ASSERT_TRUE(gen::WriteWholeFile(mods[2], Bytes{'P', 'K'}));
    Write(SetLooking(With(kBase, kBlue, false, false, true, false)));
    const std::string page = dir.File("mods.html");
    bool written = false;
    const Lines onOne = Mods(mods, &written, page, 1);
    const Bytes pageOnOne = gen::ReadWholeFile(page);
    ASSERT_FALSE(pageOnOne.empty());
    for (const unsigned jobs : {2u, 3u, 8u}) {
        std::filesystem::remove(page);
        EXPECT_EQ(Mods(mods, &written, page, jobs), onOne) << jobs << " threads";
        EXPECT_TRUE(gen::ReadWholeFile(page) == pageOnOne) << jobs << " threads";
    }
}

TEST_F(ModsTest, PageHasACardPerModWithTitlesEscaped) {
    const std::string red = Pack("red.zip", kRed, "Red <b>&</b>");
    Pack("blue.zip", kBlue, "Blue");
    Write(SetLooking(With(kBase, kBlue, false, true, false, false)));
    const std::string page = dir.File("mods.html");
    bool written = false;
    const Lines lines = Mods({red, dir.File("blue.zip")}, &written, page);
    ASSERT_TRUE(written);
    EXPECT_TRUE(Has(lines, "Preview written to " + page));
    const Bytes bytes = gen::ReadWholeFile(page);
    const std::string html(bytes.begin(), bytes.end());
    EXPECT_NE(html.find("<h2>Red &lt;b&gt;&amp;&lt;/b&gt;</h2>"), std::string::npos);
    EXPECT_EQ(html.find("<b>&"), std::string::npos);
    // The set holds blue's marble, the base of neither: no picture before
    // it on either card, and each marks it as the other's too.
    EXPECT_EQ(Occurrences(html, "set1.DAT does not hold the mod&#39;s base"), 2u);
    EXPECT_EQ(Occurrences(html, "also changed by blue.zip"), 1u);
    EXPECT_EQ(Occurrences(html, "also changed by red.zip"), 1u);
    // Each mod's two textures after, and the one whose base the set holds
    // before; the colour and alpha apart aside.
    std::vector<std::string> shown;
    for (const PagePicture& picture : PicturesIn(html)) {
        if (!picture.alt.ends_with(")")) shown.push_back(picture.alt);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"wood.tga", "wood.tga", "marble.tga", "marble.tga",
                                               "felt.tga", "felt.tga"}));
}

struct QuestionCase {
    const char* what;
    Look set;
    std::vector<std::string> sentences;
    std::vector<std::string> refused;
    bool willChange;
};

// clang-format off
const QuestionCase kQuestions[] = {
    {"the base", kBase,
     {"Of its 2 textures, 2 will change", "Of its 1 material, 1 will change"}, {}, true},
    {"applied: nothing to do", kRed,
     {"Of its 2 textures, 2 are already applied", "Of its 1 material, 1 is already applied"}, {},
     false},
    {"a texture of its own", With(kRed, kBlue, false, true, false, false),
     {"Of its 2 textures, 1 is already applied and 1 differs from the mod's base",
      "Of its 1 material, 1 is already applied"}, {"marble.tga"}, false},
    {"a texture and a material missing or changed", {.boardShininess = 31, .withMarble = false},
     {"Of its 2 textures, 1 will change and 1 is not in set1.DAT",
      "Of its 1 material, 1 differs from the mod's base"}, {"board material of marble.tga"}, true},
};
// clang-format on

TEST_F(ModsTest, TheQuestionCountsWhatTheModWouldDoToTheSet) {
    const std::string red = Pack("red.zip", kRed, "Red");
    const mod::ModManifest manifest = *mod::ReadModManifest(red);
    for (const QuestionCase& c : kQuestions) {
        SCOPED_TRACE(c.what);
        Write(SetLooking(c.set));
        const std::optional<mod::SetPieces> pieces =
            mod::ReadSetPieces(setPath, "set1.DAT", {&manifest}, log);
        ASSERT_TRUE(pieces);
        const mod::ModQuestion question =
            mod::AskAboutMod(manifest, *pieces, "red.zip", "set1.DAT");
        EXPECT_EQ(question.sentences, c.sentences);
        EXPECT_EQ(question.refused, c.refused);
        EXPECT_EQ(question.willChange, c.willChange);
        EXPECT_EQ(mod::NothingToDo(question), !c.willChange && c.refused.empty());
        EXPECT_TRUE(question.text.starts_with("Apply the mod \"Red\" to set1.DAT?\nBy Me.\n\n"));
    }
}

// The page inside a mod is titled with the mod's title and says its
// material changes in words; applying names each material by the texture
// it carries.
TEST_F(ModsTest, AModsPageAndLinesSpeakOfItsPiecesInWords) {
    const std::string red = Pack("red.zip", kRed, "Red & co");
    const Bytes archive = gen::ReadWholeFile(red);
    const std::vector<mod::ZipEntry> entries = *mod::ReadZipDirectory(archive);
    const Bytes page = *mod::ExtractEntry(archive, entries[1]);
    const std::string html(page.begin(), page.end());
    EXPECT_NE(html.find("<title>Red &amp; co</title>"), std::string::npos);
    EXPECT_NE(html.find("<br>\nBoard: shininess 30 to 90, amplitude 30 to 30</p>"),
              std::string::npos);
    report::MemoryReportLog applyLog;
    Write(SetLooking(kBase));
    mod::ApplyMod(state, {red, true, false}, &applyLog);
    EXPECT_TRUE(Has(applyLog.Lines(),
                    report::NameMessageLine("board material of marble.tga", "Would be applied")));
}

}  // namespace
}  // namespace sorrelwick::test
