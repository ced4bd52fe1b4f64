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

std::vector<std::uint32_t> Stored() {
    const SpecularPercents& p = ui::TheToolState().percents;
    return {p.whiteShininess, p.blackShininess, p.boardShininess,
            p.whiteAmplitude, p.blackAmplitude, p.boardAmplitude};
}

class SpecularityDialog : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        expected = LoadSmallSet("set1.DAT");
    }
    // Opens the dialog with its button, types `texts` and presses `button`;
    // the fields as the dialog showed them when it opened.
    Lines OpenFillAndPress(const Lines& texts, int button) {
        Lines shown;
        EXPECT_TRUE(ClickActing(SORRELWICK_SPECULARITY_BUTTON, [&](HWND dialog) {
            if (dialog == window) return;  // active again once the dialog has gone
            EXPECT_EQ(WindowText(dialog), "Change chess set's specularity");
            for (std::size_t i = 0; i < std::size(kFields); ++i) {
                shown.push_back(WindowText(GetDlgItem(dialog, kFields[i])));
                if (i < texts.size()) SetDlgItemTextA(dialog, kFields[i], texts[i].c_str());
            }
            PressButton(dialog, button);
        }));
        return shown;
    }
    void ExpectChanged(const std::string& backup) {
        for (const std::string& line :
             Framed("Changing specularity of set1.DAT",
                    {"Original file renamed to " + backup, "Specularity changed successfully"})) {
            expected.push_back(line);
        }
        EXPECT_EQ(Report(), expected);
    }

    Lines expected;  // the report so far
};

// A field that is not a number (empty, or above the largest 32-bit value)
// counts as 100; every other value is stored as typed; every opening shows
// 100 again, whatever was stored.
TEST_F(SpecularityDialog, SaveStoresEveryFieldAndChangesTheSet) {
    const Lines typed = {"", "0", "200", "4294967295", " 7", "4294967296"};
    EXPECT_EQ(OpenFillAndPress(typed, IDOK), Lines(6, "100"));
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{100, 0, 200, 4294967295u, 7, 100}));
    ExpectChanged("set1.000");

    EXPECT_EQ(OpenFillAndPress({"5", "5", "5", "5", "5", "5"}, IDCANCEL), Lines(6, "100"));
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{100, 0, 200, 4294967295u, 7, 100}));
    EXPECT_EQ(Report(), expected);
}

TEST_F(SpecularityDialog, SaveEndsWithOneAndTheOtherWaysOutStoreNothing) {
    const struct {
        const char* what;
        void (*act)(HWND dialog);
        INT_PTR result;
    } endings[] = {
        {"Save", [](HWND dialog) { PressButton(dialog, IDOK); }, IDOK},
        {"Cancel", [](HWND dialog) { PressButton(dialog, IDCANCEL); }, IDCANCEL},
        {"Escape", PressEscape, IDCANCEL},
        {"close box", PressCloseBox, IDCANCEL},
    };
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.what);
        ui::TheToolState().percents = SpecularPercents{};
        const INT_PTR result = RunDialog(SORRELWICK_SPECULARITY_DIALOG,
                                         ui::SpecularityDialogProcedure, window, [&](HWND dialog) {
                                             for (const int id : kFields) {
                                                 SetDlgItemTextA(dialog, id, "50");
                                             }
                                             ending.act(dialog);
                                         });
        EXPECT_EQ(result, ending.result);
        EXPECT_EQ(Stored(), std::vector<std::uint32_t>(6, result == IDOK ? 50 : 100));
        if (result == IDOK) ExpectChanged("set1.000");
        EXPECT_EQ(Report(), expected);
    }
}

}  // namespace
}  // namespace sorrelwick::test
