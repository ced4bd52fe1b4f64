// The main window as a user meets it: its state after opening, the Load
// command with the open dialog's answers and the request that dialog
// receives, Clear view, the newest line in view, and the ways it ends.

#include "ui/list_box_report_log.h"
#include "window_test_support.h"
// After windows.h, which it needs: the open dialog's control ids.
#include <dlgs.h>

namespace sorrelwick::test {
namespace {

constexpr int kSetCommands[] = {SORRELWICK_EXTRACT_BUTTON, SORRELWICK_REPLACE_BUTTON,
                                SORRELWICK_SPECULARITY_BUTTON, SORRELWICK_PREVIEW_BUTTON};

class MainWindow : public MainWindowTest {
protected:
    // What a user sees of the loaded set (none when `name` is empty): the
    // caption and the buttons; and the ToolState.
    void ExpectLoaded(const std::string& name) {
        SCOPED_TRACE(name);
        const bool loaded = !name.empty();
        EXPECT_EQ(WindowText(window), loaded ? "Sorrelwick - " + name : "Sorrelwick");
        for (const int id : kSetCommands) EXPECT_EQ(Enabled(id), loaded) << id;
        EXPECT_EQ(ui::TheToolState().setPath, loaded ? dir.File(name) : "");
        EXPECT_EQ(ui::TheToolState().setName, name);
    }
};

TEST_F(MainWindow, OpensWithNothingLoadedAFixedPitchReportAndTheFocusOnLoad) {
    ExpectLoaded("");
    for (const int id : {SORRELWICK_LOAD_BUTTON, SORRELWICK_CLEAR_BUTTON, SORRELWICK_RESTORE_BUTTON,
                         SORRELWICK_READ_ME_BUTTON, IDOK}) {
        EXPECT_TRUE(Enabled(id)) << id;
    }
    EXPECT_EQ(GetFocus(), Item(SORRELWICK_LOAD_BUTTON));
    EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), 0);
    EXPECT_EQ(Report(), Lines{});

    const auto font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    LOGFONTA requested = {};
    ASSERT_EQ(GetObjectA(font, sizeof requested, &requested), static_cast<int>(sizeof requested));
    EXPECT_EQ(requested.lfHeight, -11);
    EXPECT_EQ(requested.lfWeight, FW_NORMAL);
    EXPECT_EQ(requested.lfPitchAndFamily, FIXED_PITCH);
    EXPECT_STREQ(requested.lfFaceName, "Curier");
    // What the list draws with: a fixed-pitch face, so that the columns line up.
    const HDC dc = GetDC(list);
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE narrow = {}, wide = {};
    GetTextExtentPoint32A(dc, "iiiiiiiiii", 10, &narrow);
    GetTextExtentPoint32A(dc, "WWWWWWWWWW", 10, &wide);
    SelectObject(dc, previous);
    ReleaseDC(list, dc);
    EXPECT_EQ(narrow.cx, wide.cx);
}

// One user's session: each Load keeps or drops the set by its listing,
// cancelling changes nothing, and the report keeps every listing.
TEST_F(MainWindow, LoadsKeepOrDropTheSetAndTheReportKeepsEveryListing) {
    Load(std::nullopt);
    EXPECT_EQ(Report(), Lines{});
    ExpectLoaded("");

    Lines report = LoadSmallSet("set1.DAT");
    ExpectLoaded("set1.DAT");
    Load(std::nullopt);
    EXPECT_EQ(Report(), report);
    ExpectLoaded("set1.DAT");

    Append(report, LoadSmallSet("B1_other.DAT"));
    EXPECT_EQ(Report(), report);
    ExpectLoaded("B1_other.DAT");

    ASSERT_TRUE(gen::WriteWholeFile(dir.File("broken.DAT"), {'n', 'o', 't', ' ', 's', 'e', 't'}));
    Load(dir.File("broken.DAT"));
    Append(report,
           Framed("Loading broken.DAT",
                  {"Error - Bad file format. broken.DAT isn't a proper Tessaravine chess set."}));
    EXPECT_EQ(Report(), report);
    ExpectLoaded("");

    Load(dir.File("missing.DAT"));
    Append(report, Framed("Loading missing.DAT", {"Error - Could not open missing.DAT"}));
    EXPECT_EQ(Report(), report);
    ExpectLoaded("");

    // The caption is cut to the 259 characters its buffer holds.
    EXPECT_EQ(ui::LoadedCaption("Sorrelwick", std::string(250, 'n')),
              "Sorrelwick - " + std::string(246, 'n'));
}

TEST_F(MainWindow, ClearViewEmptiesTheReportOnly) {
    const Lines listing = LoadSmallSet("set1.DAT");
    Click(SORRELWICK_CLEAR_BUTTON);
    EXPECT_EQ(Report(), Lines{});
    ExpectLoaded("set1.DAT");

    Load(dir.File("set1.DAT"));
    EXPECT_EQ(Report(), listing);
}

// The report list as the operations' ReportLog.
TEST_F(MainWindow, NewestLineIsInViewAndNoLineSelected) {
    ui::ListBoxReportLog log(list);
    for (int i = 0; i < 200; ++i) log.AppendLine("line " + std::to_string(i));
    ASSERT_EQ(Report().back(), "line 199");
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    RECT client = {}, newest = {};
    GetClientRect(list, &client);
    SendMessageA(list, LB_GETITEMRECT, 199, reinterpret_cast<LPARAM>(&newest));
    EXPECT_GE(newest.top, client.top);
    EXPECT_LE(newest.bottom, client.bottom);
}

// The list scrolls sideways exactly as far as its widest line, as drawn in
// its own font, needs; an empty list not at all.
TEST_F(MainWindow, SidewaysRangeIsTheWidestLineSinceTheLastClear) {
    const auto drawnWidth = [this](const std::string& line) {
        return static_cast<LRESULT>(DrawnWidth(list, line));
    };
    const auto range = [this] { return SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0); };
    const auto scrollBar = [this] { return (GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL) != 0; };
    const std::string wide = "Import failed: wrong color depth (24 bits) " + std::string(120, 'W');
    const std::string narrow = "Export successful";

    ui::ListBoxReportLog log(list);
    log.AppendLine(narrow);
    EXPECT_EQ(range(), drawnWidth(narrow));
    EXPECT_FALSE(scrollBar());
    log.AppendLine(wide);
    log.AppendLine(narrow);
    EXPECT_EQ(range(), drawnWidth(wide));
    EXPECT_GT(range(), 1000) << "a line longer than any fixed range";
    EXPECT_TRUE(scrollBar());

    Click(SORRELWICK_CLEAR_BUTTON);
    EXPECT_EQ(range(), 0);
    EXPECT_FALSE(scrollBar());
    log.AppendLine(narrow);
    EXPECT_EQ(range(), drawnWidth(narrow));
}

// Every Load starts in the default folder, even after a folder pick.
TEST_F(MainWindow, OpenDialogRequestFieldByField) {
    ui::TheToolState().defaultFolder = "C:\\Games\\Tessaravine\\DATA\\DAT";
    Load(std::nullopt);
    ui::TheToolState().lastFolder = "C:\\elsewhere";
    Load(std::nullopt);

    ASSERT_EQ(openRequests.size(), 2u);
    for (const OpenRequest& request : openRequests) {
        const OPENFILENAMEW& r = request.fields;
        // The shorter structure form: 76 bytes with 32-bit pointers.
        EXPECT_EQ(r.lStructSize, sizeof(void*) == 4 ? 76u : 136u);
        EXPECT_EQ(r.hwndOwner, window);
        EXPECT_EQ(request.filter, std::string("Tessaravine chess set (*.DAT)\0*.DAT\0", 37));
        EXPECT_EQ(r.nFilterIndex, 1u);
        EXPECT_EQ(request.fileBuffer, "");
        EXPECT_EQ(r.nMaxFile, 260u);
        EXPECT_EQ(request.initialFolder, "C:\\Games\\Tessaravine\\DATA\\DAT");
        EXPECT_EQ(request.title, "Load a Tessaravine chess set");
        // Existence is checked by the hook, after the default extension.
        EXPECT_EQ(r.Flags, 0x80824u);
        EXPECT_EQ(r.lpfnHook, &ui::OpenDialogHook);
        EXPECT_EQ(request.defaultExtension, "DAT");
        EXPECT_TRUE(!r.hInstance && !r.lpstrCustomFilter && !r.lpstrFileTitle && !r.lCustData &&
                    !r.lpTemplateName)
            << "a field that stays empty is set";
    }
}

// The system's own open dialog: a name typed without its extension loads
// the .DAT file of that name.
TEST_F(MainWindow, NameTypedWithoutExtensionLoadsTheSet) {
    const Lines listing = LoadSmallSet("set1.DAT");
    Click(SORRELWICK_CLEAR_BUTTON);
    ClearLoadedSet(ui::TheToolState());
    ui::ReplaceOpenDialogForTests(nullptr);
    ui::TheToolState().defaultFolder = dir.Path().string();
    bool typed = false;
    EXPECT_TRUE(ClickActing(SORRELWICK_LOAD_BUTTON, [&](HWND dialog) {
        HWND name = GetDlgItem(dialog, cmb13);
        if (!name) name = GetDlgItem(dialog, edt1);
        if (!name || typed) return;  // a window other than the open dialog
        SetWindowTextA(name, "set1");
        typed = true;
        PressButton(dialog, IDOK);
    }));
    EXPECT_TRUE(typed);
    EXPECT_EQ(Report(), listing);
    ExpectLoaded("set1.DAT");
}

// Run modally, as start-up runs it.
TEST(MainWindowEnding, ExitEscapeAndCloseBoxEndItReleaseTheFontAndPostQuit) {
    const struct {
        const char* what;
        void (*act)(HWND window);
        INT_PTR result;
    } endings[] = {
        {"Exit", [](HWND window) { PressButton(window, IDOK); }, IDOK},
        {"Escape", PressEscape, IDCANCEL},
        {"close box", PressCloseBox, IDCANCEL},
    };
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.what);
        ResetToolState();
        HGDIOBJ font = nullptr;
        const INT_PTR result =
            RunDialog(SORRELWICK_MAIN_WINDOW, ui::MainWindowProcedure, nullptr, [&](HWND window) {
                font = reinterpret_cast<HGDIOBJ>(
                    SendDlgItemMessageA(window, SORRELWICK_REPORT_LIST, WM_GETFONT, 0, 0));
                ending.act(window);
            });
        EXPECT_EQ(result, ending.result);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(GetObjectType(font), 0u) << "report font still exists";
        EXPECT_TRUE(TakeQuitRequest());
    }
}

}  // namespace
}  // namespace sorrelwick::test
