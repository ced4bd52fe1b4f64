// The main window as a user meets it: Load with the open dialog's answers and
// request, dropped sets, Clear view, copying the report, its size and the
// display's scale.

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "ui/list_box_report_log.h"
#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

const std::string kWideLine = "Import failed: wrong color depth (24 bits) " + std::string(120, 'W');

// The items of the popup menu up at the time, chosen by key: the first.
namespace menu {
std::vector<std::wstring> items;
int ticks = 0;
void CALLBACK ChooseFirst(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND popup = FindWindowW(L"#32768", nullptr);
    if (!popup && ++ticks < 100) return;
    KillTimer(nullptr, timer);
    if (!popup) {
        EndMenu();
        return;
    }
    const auto shown = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(shown); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(shown, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        items.emplace_back(text);
    }
    PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
}
}  // namespace menu

using MainWindow = MainWindowTest;

TEST_F(MainWindow, OpensAtTheScaleAskedWithNothingLoadedAFixedPitchReportAndTheFocusOnLoad) {
    // Each run of the window tests asks for a display scale (the prefix holds
    // it): so that a run meant for 150% cannot pass at 100% unnoticed.
    if (const char* asked = std::getenv("SORRELWICK_TEST_DPI")) {
        EXPECT_EQ(ScreenDpi(), std::atoi(asked));
    }
    ExpectLoaded("");
    for (const int id : {SORRELWICK_LOAD_BUTTON, SORRELWICK_CLEAR_BUTTON, SORRELWICK_RESTORE_BUTTON,
                         SORRELWICK_READ_ME_BUTTON, IDOK}) {
        EXPECT_TRUE(Enabled(id)) << id;
    }
    EXPECT_EQ(GetFocus(), Item(SORRELWICK_LOAD_BUTTON));
    EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), 0);

    const LOGFONTW requested = FontOf(list);
    EXPECT_EQ(requested.lfHeight, -MulDiv(11, ScreenDpi(), 96)) << "11 pixels at 100%";
    EXPECT_EQ(requested.lfWeight, FW_NORMAL);
    EXPECT_EQ(requested.lfPitchAndFamily, FIXED_PITCH);
    EXPECT_EQ(Utf8(requested.lfFaceName), "Curier");
    // What the list draws with: a fixed-pitch face, so that the columns line up.
    EXPECT_EQ(DrawnWidth(list, "iiiiiiiiii"), DrawnWidth(list, "WWWWWWWWWW"));
}

// One user's session: each Load, through the open dialog or a drop, keeps
// or drops the set by its listing; cancelling changes nothing; the report
// keeps every listing, and Clear view empties it and nothing else. A drop
// loads the first file whose name ends in ".DAT", in any case, and names all
// else dropped in one line; a drop without a set leaves the loaded one.
TEST_F(MainWindow, LoadsAndDropsKeepOrDropTheSetAndTheReportKeepsEveryListing) {
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("broken.DAT"), {'n', 'o', 't', ' ', 's', 'e', 't'}));
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("notes.txt"), {'h', 'i'}));
    std::filesystem::create_directories(dir.Path() / "Textures");
    std::filesystem::create_directories(dir.Path() / "folder.DAT");
    const struct {
        const char* what;
        std::optional<std::string> chosen;  // in the open dialog; none: cancelled
        Lines dropped;                      // instead, when there are any
        Lines reported;
        std::string loaded;
    } loads[] = {
        {"a set", "set1.DAT", {}, WriteSmallSet("set1.DAT"), "set1.DAT"},
        {"cancelled with a set", std::nullopt, {}, {}, "set1.DAT"},
        {"no set",
         "broken.DAT",
         {},
         Framed("Loading broken.DAT",
                {"Error - Bad file format. broken.DAT isn't a proper Tessaravine chess set."}),
         ""},
        {"one set dropped", {}, {"B1_one.DAT"}, WriteSmallSet("B1_one.DAT"), "B1_one.DAT"},
        {"no set dropped",
         {},
         {"notes.txt", "folder.DAT", "Textures"},
         {"Dropped but not loaded: notes.txt, folder.DAT, Textures"},
         "B1_one.DAT"},
        {"several dropped",
         {},
         {"notes.txt", "folder.DAT", "other.dat", "set1.DAT", "Textures"},
         Joined({"Dropped but not loaded: notes.txt, folder.DAT, set1.DAT, Textures"},
                WriteSmallSet("other.dat")),
         "other.dat"},
    };
    Lines report;
    for (const auto& load : loads) {
        SCOPED_TRACE(load.what);
        if (load.dropped.empty()) {
            Load(load.chosen ? std::optional(dir.File(*load.chosen)) : std::nullopt);
        } else {
            Drop(window, dir, load.dropped);
        }
        Append(report, load.reported);
        EXPECT_EQ(Report(), report);
        ExpectLoaded(load.loaded);
    }
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    Click(SORRELWICK_CLEAR_BUTTON);
    EXPECT_EQ(Report(), Lines{});
    ExpectLoaded("other.dat");

    // The caption is cut to the 259 characters its buffer holds.
    EXPECT_EQ(ui::LoadedCaption("Sorrelwick", std::string(250, 'n')),
              "Sorrelwick - " + std::string(246, 'n'));
}

// The report list as the operations' ReportLog: the newest line in view and
// none selected; it scrolls sideways exactly as far as its widest line, as
// drawn in its own font, needs; an empty list not at all.
TEST_F(MainWindow, ReportShowsTheNewestLineAndScrollsSidewaysAsFarAsTheWidestLine) {
    const auto drawnWidth = [this](const std::string& line) { return DrawnWidth(list, line); };
    const auto range = [this] { return SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0); };
    const auto scrollBar = [this] { return (GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL) != 0; };
    const std::string narrow = "Export successful";

    // One batch, as an operation writes: in view once it ends.
    ui::ListBoxReportLog log(list);
    for (int i = 0; i < 200; ++i) log.AppendLine("line " + std::to_string(i));
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0) << "scrolled before the batch ended";
    log.Flush();
    ASSERT_EQ(Report().back(), "line 199");
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    RECT client = {}, newest = {};
    GetClientRect(list, &client);
    SendMessageA(list, LB_GETITEMRECT, 199, reinterpret_cast<LPARAM>(&newest));
    EXPECT_GE(newest.top, client.top);
    EXPECT_LE(newest.bottom, client.bottom);

    ui::ListBoxReportLog(list).AppendLine(narrow);
    EXPECT_EQ(range(), drawnWidth(narrow));
    EXPECT_FALSE(scrollBar());
    ui::ListBoxReportLog(list).AppendLine(kWideLine);
    ui::ListBoxReportLog(list).AppendLine(narrow);
    EXPECT_EQ(range(), drawnWidth(kWideLine));
    EXPECT_GT(range(), 1000) << "a line longer than any fixed range";
    EXPECT_TRUE(scrollBar());
    // Scrolled sideways, then another operation: its lines show from their
    // start.
    for (int i = 0; i < 5; ++i) SendMessageW(list, WM_HSCROLL, SB_PAGERIGHT, 0);
    ASSERT_GT(GetScrollPos(list, SB_HORZ), 0);
    ui::ListBoxReportLog(list).AppendLine(narrow);
    EXPECT_EQ(GetScrollPos(list, SB_HORZ), 0);

    Click(SORRELWICK_CLEAR_BUTTON);
    EXPECT_EQ(range(), 0);
    EXPECT_FALSE(scrollBar());
    ui::ListBoxReportLog(list).AppendLine(narrow);
    EXPECT_EQ(range(), drawnWidth(narrow));

    // Scrolled to the end of a line a little wider than the list, and then
    // maximised: the list shows the line from its start.
    GetClientRect(list, &client);
    std::string longer = narrow;
    while (drawnWidth(longer) < client.right + 40) longer += " W";
    ui::ListBoxReportLog(list).AppendLine(longer);
    for (int i = 0; i < 20; ++i) SendMessageW(list, WM_HSCROLL, SB_PAGERIGHT, 0);
    RECT line = {};
    SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&line));
    const LONG scrolled = line.right - line.left;
    ShowWindow(window, SW_MAXIMIZE);
    GetClientRect(list, &client);
    ASSERT_GT(client.right, drawnWidth(longer));
    SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&line));
    EXPECT_EQ(line.left, 0) << "scrolled by " << scrolled - client.right;
    EXPECT_EQ(line.right, client.right);
    EXPECT_FALSE(scrollBar());
}

// Ctrl+C in the report and "Copy report" on its menu copy every line.
TEST_F(MainWindow, CopiesEveryLineOfTheReport) {
    LoadSmallSet("set1.DAT");
    ui::ListBoxReportLog(list).AppendLine("last\tline");
    std::wstring text;
    for (const std::string& line : Report()) text += Wide(line) + L"\r\n";
    TakeClipboardText();
    SendMessageW(list, WM_KEYDOWN, 'C', 0);
    EXPECT_EQ(TakeClipboardText(), L"(no text)") << "C without Ctrl copies nothing";
    PressControlC(list);
    EXPECT_EQ(TakeClipboardText(), text);

    menu::items.clear();
    SetTimer(nullptr, 0, 20, menu::ChooseFirst);
    SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    EXPECT_EQ(menu::items, std::vector<std::wstring>{L"&Copy report"});
    EXPECT_EQ(TakeClipboardText(), text);
}

// Moved to a display of twice the scale and back: the report's font, its
// sideways range, every control's place and the smallest size follow the
// scale, and nothing is left of the trip.
TEST_F(MainWindow, FollowsTheScaleOfTheDisplayItMovesTo) {
    ui::ListBoxReportLog(list).AppendLine(kWideLine);
    const int dpi = ScreenDpi();
    std::vector<std::pair<HWND, RECT>> opening;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        opening.emplace_back(c, PlaceIn(window, c));
    }
    RECT openingClient = {}, openingOutline = {};
    GetClientRect(window, &openingClient);
    GetWindowRect(window, &openingOutline);

    for (const int to : {2 * dpi, dpi}) {
        SCOPED_TRACE(to);
        const auto scaled = [&](LONG value) { return static_cast<LONG>(MulDiv(value, to, dpi)); };
        RECT suggested = openingOutline;  // the client area at the new scale, the frame as it is
        suggested.right += scaled(openingClient.right) - openingClient.right;
        suggested.bottom += scaled(openingClient.bottom) - openingClient.bottom;
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(to, to),
                     reinterpret_cast<LPARAM>(&suggested));

        EXPECT_EQ(FontOf(list).lfHeight, -MulDiv(11, to, 96));
        EXPECT_EQ(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), DrawnWidth(list, kWideLine));
        // The frame keeps this display's size, so the window may come out a
        // little larger than suggested: the buttons then move with its edges.
        for (const auto& [control, place] : opening) {
            SCOPED_TRACE(GetDlgCtrlID(control));
            const RECT got = PlaceIn(window, control);
            if (control == list) {
                EXPECT_EQ(got.left, scaled(place.left));
                EXPECT_EQ(got.top, scaled(place.top));
                continue;
            }
            EXPECT_EQ(got.right - got.left, scaled(place.right) - scaled(place.left));
            EXPECT_EQ(got.bottom - got.top, scaled(place.bottom) - scaled(place.top));
            if (to == dpi) {
                EXPECT_TRUE(EqualRect(&got, &place)) << "not as it opened";
            }
        }
        MINMAXINFO limits = {};
        SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        EXPECT_GE(limits.ptMinTrackSize.x, scaled(openingClient.right));
        EXPECT_GE(limits.ptMinTrackSize.y, scaled(openingClient.bottom));
    }
    MINMAXINFO limits = {};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, openingOutline.right - openingOutline.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, openingOutline.bottom - openingOutline.top);
}

// Which edges of each control keep their distance to the right and bottom
// edges of the main window as it grows; the others stay where they opened.
const struct {
    int id;
    bool left, top, right, bottom;
} kFollowing[] = {
    {SORRELWICK_REPORT_LIST, false, false, true, true},
    {SORRELWICK_LOAD_BUTTON, true, false, true, false},
    {SORRELWICK_EXTRACT_BUTTON, true, false, true, false},
    {SORRELWICK_REPLACE_BUTTON, true, false, true, false},
    {SORRELWICK_SPECULARITY_BUTTON, true, false, true, false},
    {SORRELWICK_CLEAR_BUTTON, true, false, true, false},
    {SORRELWICK_READ_ME_BUTTON, true, true, true, true},
    {IDOK, true, true, true, true},
};

// Resized as a window manager would: grown (within the screen, also at
// 150%), and asked to shrink below the size it opened at, which it keeps.
TEST_F(MainWindow, GrowsWithItsControlsAndNeverBelowItsOpeningSize) {
    RECT outline = {}, opening = {};
    GetWindowRect(window, &outline);
    GetClientRect(window, &opening);
    std::vector<RECT> openingPlaces;
    for (const auto& control : kFollowing)
        openingPlaces.push_back(PlaceIn(window, Item(control.id)));
    const struct {
        SIZE asked;
        LONG grown, taller;  // than the client area as it opened
    } sizes[] = {
        {{outline.right - outline.left + 100, outline.bottom - outline.top + 60}, 100, 60},
        {{120, 90}, 0, 0},
    };
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.grown);
        SetWindowPos(window, nullptr, 0, 0, size.asked.cx, size.asked.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client = {};
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, opening.right + size.grown);
        EXPECT_EQ(client.bottom, opening.bottom + size.taller);
        for (std::size_t i = 0; i < std::size(kFollowing); ++i) {
            const auto& f = kFollowing[i];
            RECT want = openingPlaces[i];
            want.left += f.left ? size.grown : 0;
            want.top += f.top ? size.taller : 0;
            want.right += f.right ? size.grown : 0;
            want.bottom += f.bottom ? size.taller : 0;
            const RECT got = PlaceIn(window, Item(f.id));
            EXPECT_TRUE(EqualRect(&want, &got)) << f.id << " at " << got.left << "," << got.top
                                                << " " << got.right << "," << got.bottom;
        }
    }
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

}  // namespace
}  // namespace sorrelwick::test
