// A mod applied from the window: the question counts what the mod would do
// to the loaded set, names what it would refuse and can apply that too; a
// mod with nothing to do says so and writes nothing.

#include "mod/mod_pack.h"
#include "ui/resource_ids.h"
#include "mod_test_set.h"
#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Look kBase;
// The mod repaints both textures.
const Look kModded{.wood = gen::MakeTga(8, 8, 24, {200, 0, 0, 255}),
                   .felt = gen::MakeTga(4, 4, 24, {0, 200, 0, 255})};
const Look kHalf{.wood = kModded.wood};
const Look kOwnFelt{.felt = gen::MakeTga(4, 4, 24, {1, 2, 3, 255})};

enum class Answer { None, Apply, ApplyThoseToo, Cancel };

struct QuestionCase {
    const char* what;
    Look set;
    const char* counts;  // the question's sentence, or the report's when no question
    bool thoseTooOffered, applyOffered;
    Answer answer;
    Look expected;
};

// clang-format off
const QuestionCase kQuestions[] = {
    {"a set with the mod's base", kBase, "Of its 2 textures, 2 will change", false, true,
     Answer::Apply, kModded},
    {"half applied", kHalf, "Of its 2 textures, 1 is already applied and 1 will change",
     false, true, Answer::Apply, kModded},
    {"a texture of its own, left", kOwnFelt,
     "Of its 2 textures, 1 will change and 1 differs from the mod's base", true, true,
     Answer::Apply, {.wood = kModded.wood, .felt = kOwnFelt.felt}},
    {"a texture of its own, applied too", kOwnFelt,
     "Of its 2 textures, 1 will change and 1 differs from the mod's base", true, true,
     Answer::ApplyThoseToo, kModded},
    {"only refused pieces", {.wood = kModded.wood, .felt = kOwnFelt.felt},
     "Of its 2 textures, 1 is already applied and 1 differs from the mod's base", true, false,
     Answer::ApplyThoseToo, kModded},
    {"cancelled", kBase, "Of its 2 textures, 2 will change", false, true, Answer::Cancel, kBase},
    {"already applied: nothing to do", kModded, "Of its 2 textures, 2 are already applied",
     false, false, Answer::None, kModded},
};
// clang-format on

class ModCommands : public MainWindowTest {};

TEST_F(ModCommands, TheQuestionCountsWhatTheModWouldDoToThisSet) {
    // The mod, packed beside the set from two sets of its own.
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("made.DAT"), SetLooking(kModded)));
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("base.DAT"), SetLooking(kBase)));
    ToolState packState;
    SetLoadedSet(packState, dir.File("made.DAT"));
    report::MemoryReportLog packLog;
    ASSERT_TRUE(mod::PackMod(
        packState, {dir.File("base.DAT"), dir.File("mod.zip"), "Red", "Ann", {}, false}, &packLog));
    for (const QuestionCase& c : kQuestions) {
        SCOPED_TRACE(c.what);
        for (const std::string& name : dir.Entries()) {
            if (name.starts_with("set1.")) std::filesystem::remove(dir.File(name));
        }
        ASSERT_TRUE(gen::WriteWholeFile(dir.File("set1.DAT"), SetLooking(c.set)));
        Load(dir.File("set1.DAT"));
        Click(SORRELWICK_CLEAR_BUTTON);
        const FolderContents before = FilesIn(dir.Path());
        std::string question;
        bool thoseTooShown = false, applyEnabled = false;
        EXPECT_TRUE(WhileActing(
            [&](HWND box) {
                question = WindowText(GetDlgItem(box, SORRELWICK_MOD_QUESTION_TEXT));
                // Shown by its own style: the question itself may not be drawn yet.
                thoseTooShown = (GetWindowLongW(GetDlgItem(box, SORRELWICK_APPLY_ALL_BUTTON),
                                                GWL_STYLE) &
                                 WS_VISIBLE) != 0;
                applyEnabled = IsWindowEnabled(GetDlgItem(box, IDOK));
                PressButton(box, c.answer == Answer::Apply           ? IDOK
                                 : c.answer == Answer::ApplyThoseToo ? SORRELWICK_APPLY_ALL_BUTTON
                                                                     : IDCANCEL);
            },
            [&] { Drop(window, dir, {"mod.zip"}); }));
        EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.DAT")), SetLooking(c.expected));
        if (c.answer == Answer::None) {
            EXPECT_EQ(question, "");  // no question asked
            EXPECT_EQ(FilesIn(dir.Path()), before);
            EXPECT_EQ(Report(),
                      Framed("Applying the mod " + dir.File("mod.zip") + " to set1.DAT",
                             {c.counts, "Nothing to do for set1.DAT: nothing was written"}));
            continue;
        }
        EXPECT_NE(question.find("Apply the mod \"Red\" to set1.DAT?\nBy Ann.\n\n" +
                                std::string(c.counts) + "."),
                  std::string::npos)
            << question;
        EXPECT_EQ(question.find("apply those too") != std::string::npos, c.thoseTooOffered)
            << question;
        if (c.thoseTooOffered) {
            EXPECT_NE(question.find(": felt.tga."), std::string::npos);
        }
        EXPECT_EQ(thoseTooShown, c.thoseTooOffered);
        EXPECT_EQ(applyEnabled, c.applyOffered);
        if (c.answer == Answer::Cancel) {
            EXPECT_EQ(FilesIn(dir.Path()), before);
        }
    }
}

}  // namespace
}  // namespace sorrelwick::test
