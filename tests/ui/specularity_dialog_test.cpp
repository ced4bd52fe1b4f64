// The Change specularity dialog: what it shows at each opening, what Save
// stores and runs, and the ways out that store nothing.

#include "ui/specularity_dialog.h"

#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

// The fields in the order of the percents they are stored as.
constexpr int kFields[] = {SORRELWICK_WHITE_SHININESS, SORRELWICK_BLACK_SHININESS,
                           SORRELWICK_BOARD_SHININESS, SORRELWICK_WHITE_AMPLITUDE,
                           SORRELWICK_BLACK_AMPLITUDE, SORRELWICK_BOARD_AMPLITUDE};

using SpecularityDialog = MainWindowTest;

// A field that is not a number (empty, or above the largest 32-bit value)
// counts as 100; every other value is stored as typed. Every opening shows
// 100 again, whatever was stored. (Escape and the close box end it as Cancel
// does: see the templates' test.)
TEST_F(SpecularityDialog, ShowsHundredsAndOnlySaveStoresAndChangesTheSet) {
    Lines expected = LoadSmallSet("set1.DAT");
    const std::vector<std::uint32_t> saved = {100, 0, 200, 4294967295u, 7, 100};
    const struct {
        Lines typed;
        int button;
    } steps[] = {
        {{"", "0", "200", "4294967295", " 7", "4294967296"}, IDOK},
        {Lines(6, "5"), IDCANCEL},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.button);
        Lines shown;
        const auto typeAndEnd = [&](HWND dialog) {
            for (std::size_t i = 0; i < 6; ++i) {
                shown.push_back(WindowText(GetDlgItem(dialog, kFields[i])));
                SetDlgItemTextA(dialog, kFields[i], step.typed[i].c_str());
            }
            PressButton(dialog, step.button);
        };
        const INT_PTR result = RunDialog(SORRELWICK_SPECULARITY_DIALOG,
                                         ui::SpecularityDialogProcedure, window, typeAndEnd);
        EXPECT_EQ(result, step.button);
        EXPECT_EQ(shown, Lines(6, "100"));
        const SpecularPercents& p = ui::TheToolState().percents;
        EXPECT_EQ(
            (std::vector<std::uint32_t>{p.whiteShininess, p.blackShininess, p.boardShininess,
                                        p.whiteAmplitude, p.blackAmplitude, p.boardAmplitude}),
            saved);
    }
    // The set has no pieces nor board: each group asked for is told, as on
    // the command line, and nothing says the change succeeded.
    const auto noPieces = [](const std::string& group, char colour) {
        const std::string pawn = std::string("Pawn") + colour;
        return "No " + group +
               " recognised: piece names are read as the set's file name selects, and set1.DAT, "
               "named like none of A1_..., B1_..., C1_... or D1_..., selects names like " +
               pawn + " (a name like C1_... selects <" + pawn.substr(0, 4) + ">" + colour +
               ", one like D1_... selects <" + pawn + ">)";
    };
    Append(expected,
           Framed("Changing specularity of set1.DAT",
                  {"Original file renamed to set1.000", noPieces("white pieces", 'W'),
                   noPieces("black pieces", 'B'),
                   "No board recognised: no object named Field, Frame, LettersW, LettersB or "
                   "SField01 to SField64 uses a material of set1.DAT"}));
    EXPECT_EQ(Report(), expected);
}

}  // namespace
}  // namespace sorrelwick::test
