// The main window as a user meets it: its state after opening, the Load
// command with the open dialog's answers, Clear view, and the request the
// open dialog receives.

#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"
#include "report/lines.h"
#include "support/report_matchers.h"
#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

using gen::ChessSetBuilder;
using gen::MakeTga;
using report::TextureInfoLine;
using Lines = std::vector<std::string>;

constexpr int kSetCommands[] = {SORRELWICK_EXTRACT_BUTTON, SORRELWICK_REPLACE_BUTTON,
                                SORRELWICK_SPECULARITY_BUTTON};

class MainWindow : public MainWindowTest {
  protected:
    // A chess set with two textures, and the lines its listing gives.
    std::string WriteGoodSet(const std::string& name) {
        const std::string path = dir.File(name);
        EXPECT_TRUE(ChessSetBuilder()
                        .Signature()
                        .TextureReference("wood.tga")
                        .TextureImage(MakeTga(512, 256, 24))
                        .TextureReference("white_pawn.tga")
                        .TextureImage(MakeTga(64, 128, 32))
                        .WriteTo(path));
        return path;
    }
    Lines GoodListing(const std::string& name) {
        return Framed("Loading " + name, {TextureInfoLine("wood.tga", 512, 256, 24),
                                          TextureInfoLine("white_pawn.tga", 64, 128, 32)});
    }
    std::string WriteBadSet(const std::string& name) {
        const std::string path = dir.File(name);
        EXPECT_TRUE(gen::WriteWholeFile(path, {'n', 'o', 't', ' ', 'a', ' ', 's', 'e', 't'}));
        return path;
    }

    // Which of the three buttons that need a chess set are enabled.
    std::vector<bool> SetCommandsEnabled() const {
        std::vector<bool> enabled;
        for (const int id : kSetCommands) enabled.push_back(Enabled(id));
        return enabled;
    }
    void ExpectLoaded(const std::string& path, const std::string& name) {
        EXPECT_EQ(WindowText(window), "Sorrelwick - " + name);
        EXPECT_EQ(SetCommandsEnabled(), std::vector<bool>(3, true));
        EXPECT_EQ(ui::TheToolState().setPath, path);
        EXPECT_EQ(ui::TheToolState().setName, name);
    }
    void ExpectNothingLoaded() {
        EXPECT_EQ(WindowText(window), "Sorrelwick");
        EXPECT_EQ(SetCommandsEnabled(), std::vector<bool>(3, false));
        EXPECT_EQ(ui::TheToolState().setPath, "");
        EXPECT_EQ(ui::TheToolState().setName, "");
    }
};

TEST_F(MainWindow, OpensWithNothingLoadedAndTheFocusOnLoad) {
    ExpectNothingLoaded();
    for (const int id :
         {SORRELWICK_LOAD_BUTTON, SORRELWICK_CLEAR_BUTTON, SORRELWICK_READ_ME_BUTTON, IDOK}) {
        EXPECT_TRUE(Enabled(id)) << id;
    }
    EXPECT_EQ(GetFocus(), Item(SORRELWICK_LOAD_BUTTON));
    EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), 1000);
    EXPECT_EQ(Report(), Lines{});
}

TEST_F(MainWindow, ReportFontIsTheRequestedFixedPitchFont) {
    const auto font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTA requested = {};
    ASSERT_EQ(GetObjectA(font, sizeof requested, &requested), static_cast<int>(sizeof requested));
    EXPECT_EQ(requested.lfHeight, -11);
    EXPECT_EQ(requested.lfWidth, 0);
    EXPECT_EQ(requested.lfWeight, FW_NORMAL);
    EXPECT_FALSE(requested.lfItalic || requested.lfUnderline || requested.lfStrikeOut);
    EXPECT_EQ(requested.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(requested.lfPitchAndFamily, FIXED_PITCH);
    EXPECT_STREQ(requested.lfFaceName, "Curier");

    // What the list draws with: a fixed-pitch face, so the columns line up.
    const HDC dc = GetDC(list);
    const HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SIZE narrow = {}, wide = {};
    GetTextExtentPoint32A(dc, "iiiiiiiiii", 10, &narrow);
    GetTextExtentPoint32A(dc, "WWWWWWWWWW", 10, &wide);
    SelectObject(dc, previous);
    ReleaseDC(list, dc);
    EXPECT_EQ(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH, 0)
        << "the bit is set for variable pitch";
    EXPECT_EQ(narrow.cx, wide.cx);
}

TEST_F(MainWindow, SuccessfulLoadListsTheSetAndEnablesItsCommands) {
    const std::string path = WriteGoodSet("set1.DAT");
    Load(path);
    EXPECT_EQ(Report(), GoodListing("set1.DAT"));
    ExpectLoaded(path, "set1.DAT");
}

TEST_F(MainWindow, FailedLoadAfterASuccessfulOneDropsTheSet) {
    Load(WriteGoodSet("set1.DAT"));
    Load(WriteBadSet("broken.DAT"));
    Lines expected = GoodListing("set1.DAT");
    const Lines failed =
        Framed("Loading broken.DAT",
               {"Error - Bad file format. broken.DAT isn't a proper Tessaravine chess set."});
    expected.insert(expected.end(), failed.begin(), failed.end());
    EXPECT_EQ(Report(), expected);
    ExpectNothingLoaded();
}

TEST_F(MainWindow, LoadOfAFileThatCannotBeOpened) {
    Load(dir.File("missing.DAT"));
    EXPECT_EQ(Report(), Framed("Loading missing.DAT", {"Error - Could not open missing.DAT"}));
    ExpectNothingLoaded();
}

TEST_F(MainWindow, CancelledOpenDialogChangesNothing) {
    Load(std::nullopt);
    EXPECT_EQ(Report(), Lines{});
    ExpectNothingLoaded();

    const std::string path = WriteGoodSet("set1.DAT");
    Load(path);
    Load(std::nullopt);
    EXPECT_EQ(Report(), GoodListing("set1.DAT"));
    ExpectLoaded(path, "set1.DAT");
}

TEST_F(MainWindow, SecondLoadReplacesTheFirstAndKeepsBothListings) {
    Load(WriteGoodSet("set1.DAT"));
    const std::string second = WriteGoodSet("B1_other.DAT");
    Load(second);
    Lines expected = GoodListing("set1.DAT");
    const Lines next = GoodListing("B1_other.DAT");
    expected.insert(expected.end(), next.begin(), next.end());
    EXPECT_EQ(Report(), expected);
    ExpectLoaded(second, "B1_other.DAT");
}

TEST_F(MainWindow, ClearViewEmptiesTheReportOnly) {
    Click(SORRELWICK_CLEAR_BUTTON);
    EXPECT_EQ(Report(), Lines{});

    const std::string path = WriteGoodSet("set1.DAT");
    Load(path);
    Click(SORRELWICK_CLEAR_BUTTON);
    EXPECT_EQ(Report(), Lines{});
    ExpectLoaded(path, "set1.DAT");

    Load(path);
    EXPECT_EQ(Report(), GoodListing("set1.DAT"));
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0);
}

TEST_F(MainWindow, CommandsAreToldApartByIdAlone) {
    const auto command = [this](int id, int notification) {
        const auto wParam = static_cast<WPARAM>((notification << 16) | id);
        return ui::MainWindowProcedure(window, WM_COMMAND, wParam, 0);
    };
    EXPECT_EQ(command(SORRELWICK_CLEAR_BUTTON, BN_CLICKED), TRUE);
    EXPECT_EQ(command(SORRELWICK_CLEAR_BUTTON, BN_DOUBLECLICKED), TRUE);
    EXPECT_EQ(command(SORRELWICK_REPORT_LIST, LBN_DBLCLK), FALSE);
    EXPECT_EQ(command(4242, BN_CLICKED), FALSE);
}

TEST_F(MainWindow, NewestLineIsInViewInALongReport) {
    ChessSetBuilder set;
    set.Signature();
    for (int i = 0; i < 120; ++i) {
        set.TextureReference("texture" + std::to_string(i) + ".tga")
            .TextureImage(MakeTga(8, 8, 24));
    }
    const std::string path = dir.File("long.DAT");
    ASSERT_TRUE(set.WriteTo(path));
    Load(path);

    const Lines report = Report();
    ASSERT_EQ(report.size(), 125u);
    EXPECT_EQ(report[122], TextureInfoLine("texture119.tga", 8, 8, 24));
    EXPECT_GT(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR) << "a line shows as selected";
    EXPECT_TRUE(GetWindowLongPtrA(list, GWL_STYLE) & WS_VSCROLL);
    RECT client = {}, newest = {};
    GetClientRect(list, &client);
    SendMessageA(list, LB_GETITEMRECT, report.size() - 1, reinterpret_cast<LPARAM>(&newest));
    EXPECT_GE(newest.top, client.top);
    EXPECT_LE(newest.bottom, client.bottom);
}

TEST_F(MainWindow, OpenDialogRequestFieldByField) {
    ui::TheToolState().defaultFolder = "C:\\Games\\Tessaravine\\DATA\\DAT";
    Load(std::nullopt);
    ui::TheToolState().lastFolder = "C:\\elsewhere";  // as after a folder pick
    Load(std::nullopt);

    ASSERT_EQ(openDialog.Requests().size(), 2u);
    for (const OpenRequest& request : openDialog.Requests()) {
        EXPECT_EQ(request.structSize, 76u);
        EXPECT_EQ(request.owner, window);
        EXPECT_EQ(request.instance, nullptr);
        EXPECT_EQ(request.filter, std::string("Tessaravine chess set (*.DAT)\0*.DAT\0", 37));
        EXPECT_FALSE(request.customFilter);
        EXPECT_EQ(request.filterIndex, 1u);
        EXPECT_TRUE(request.fileBufferEmpty);
        EXPECT_EQ(request.fileBufferSize, 260u);
        EXPECT_FALSE(request.fileTitle);
        EXPECT_EQ(request.initialFolder, "C:\\Games\\Tessaravine\\DATA\\DAT");
        EXPECT_EQ(request.title, "Load a Tessaravine chess set");
        EXPECT_EQ(request.flags, 0x1804u);
        EXPECT_FALSE(request.defaultExtension);
        EXPECT_EQ(request.customData, 0);
        EXPECT_FALSE(request.hook);
        EXPECT_FALSE(request.templateName);
    }
}

TEST(LoadedCaption, IsCutToTheCaptionBuffer) {
    EXPECT_EQ(ui::LoadedCaption("Sorrelwick", "set1.DAT"), "Sorrelwick - set1.DAT");
    const std::string longName(250, 'n');
    const std::string caption = ui::LoadedCaption("Sorrelwick", longName);
    EXPECT_EQ(caption, "Sorrelwick - " + longName.substr(0, 259 - 13));
}

}  // namespace
}  // namespace sorrelwick::test
