// The Change specularity dialog: what it shows at each opening, what Save
// stores and runs, and the ways out that store nothing.

#include "ui/specularity_dialog.h"

#include "support/report_matchers.h"
#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

using Lines = std::vector<std::string>;

// The fields in the order in which Save reads them.
constexpr int kFields[] = {SORRELWICK_WHITE_SHININESS, SORRELWICK_BLACK_SHININESS,
                           SORRELWICK_BOARD_SHININESS, SORRELWICK_WHITE_AMPLITUDE,
                           SORRELWICK_BLACK_AMPLITUDE, SORRELWICK_BOARD_AMPLITUDE};

std::vector<std::uint32_t> Stored() {
    const SpecularPercents& p = ui::TheToolState().percents;
    return {p.whiteShininess, p.blackShininess, p.boardShininess,
            p.whiteAmplitude, p.blackAmplitude, p.boardAmplitude};
}

void Fill(HWND dialog, const std::vector<std::string>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SetDlgItemTextA(dialog, kFields[i], texts[i].c_str());
    }
}

class SpecularityDialog : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        expected = LoadSmallSet("set1.DAT");
    }

    // Opens the dialog with its button, types `texts` and does `end`; the
    // fields as the dialog showed them when it opened.
    Lines OpenFillAndEnd(const Lines& texts, void (*end)(HWND dialog)) {
        Lines shown;
        RunCommand(SORRELWICK_SPECULARITY_BUTTON, [&](HWND dialog) {
            if (dialog == window) return;  // active again once the dialog has gone
            EXPECT_EQ(WindowText(dialog), "Change chess set's specularity");
            for (const int id : kFields) shown.push_back(WindowText(GetDlgItem(dialog, id)));
            Fill(dialog, texts);
            end(dialog);
        });
        return shown;
    }

    Lines Changed(const std::string& backup) const {
        return Framed("Changing specularity of set1.DAT",
                      {"Original file renamed to " + backup, "Specularity changed successfully"});
    }

    Lines expected;  // the report so far
};

void Save(HWND dialog) {
    PressButton(dialog, IDOK);
}
void Cancel(HWND dialog) {
    PressButton(dialog, IDCANCEL);
}

// A field that is not a number (empty, or above the largest 32-bit value)
// counts as 100; every other value is stored as typed.
TEST_F(SpecularityDialog, SaveStoresEveryFieldAndChangesTheSet) {
    const Lines shown = OpenFillAndEnd({"", "0", "200", "4294967295", " 7", "4294967296"}, Save);
    EXPECT_EQ(shown, Lines(6, "100"));
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{100, 0, 200, 4294967295u, 7, 100}));
    const Lines changed = Changed("set1.000");
    expected.insert(expected.end(), changed.begin(), changed.end());
    EXPECT_EQ(Report(), expected);

    // Every opening shows 100 again, whatever was stored.
    EXPECT_EQ(OpenFillAndEnd({}, Cancel), Lines(6, "100"));
    EXPECT_EQ(Stored()[3], 4294967295u);
}

TEST_F(SpecularityDialog, EachWayOutEndsWithItsResultAndOnlySaveStores) {
    const struct {
        const char* what;
        void (*act)(HWND dialog);
        INT_PTR result;
    } endings[] = {
        {"Save", Save, IDOK},
        {"Enter", [](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); }, IDOK},
        {"Cancel", Cancel, IDCANCEL},
        {"Escape", PressEscape, IDCANCEL},
        {"close box", PressCloseBox, IDCANCEL},
    };
    int saves = 0;
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.what);
        ui::TheToolState().percents = SpecularPercents{};
        const INT_PTR result = RunDialog(SORRELWICK_SPECULARITY_DIALOG,
                                         ui::SpecularityDialogProcedure, window, [&](HWND dialog) {
                                             Fill(dialog, Lines(6, "50"));
                                             ending.act(dialog);
                                         });
        EXPECT_EQ(result, ending.result);
        const bool saved = ending.result == IDOK;
        EXPECT_EQ(Stored(), std::vector<std::uint32_t>(6, saved ? 50 : 100));
        if (saved) {
            const Lines changed = Changed("set1.00" + std::to_string(saves++));
            expected.insert(expected.end(), changed.begin(), changed.end());
        }
        EXPECT_EQ(Report(), expected);
    }
}

}  // namespace
}  // namespace sorrelwick::test
