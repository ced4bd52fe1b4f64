// The dialog templates as a user meets them: each frame and each control
// in tab order, the labels' texts, and the read-me text as the dialog shows it.

#include <windows.h>
// After windows.h, which it needs: the list view's styles.
#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <span>
#include <string_view>

#include "sorrelwick_version.h"
#include "ui/mod_commands.h"
#include "ui/mods_dialog.h"
#include "ui/read_me_dialog.h"
#include "ui/restore_dialog.h"
#include "ui/specularity_dialog.h"
#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kField = kTab | ES_NUMBER;  // also right-aligned, never scrolled sideways
// Its sideways scroll bar shows only once a line is wider than the list.
constexpr DWORD kReport = kTab | LBS_NOSEL | LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS;
constexpr DWORD kUnwrapped = kTab | ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL;
constexpr DWORD kCheckBox = kTab | BS_AUTOCHECKBOX;
constexpr DWORD kBackups = kTab | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;

struct Control {
    int id;
    const char* className;
    const char* caption;  // null: not looked at
    RECT units;           // x, y, width, height in dialog units
    DWORD styles;         // each must be set; a button's type must match
};

const Control kMainControls[] = {
    {SORRELWICK_LOAD_BUTTON, "Button", "&Load a chess set", {382, 7, 67, 14}, kTab},
    {SORRELWICK_EXTRACT_BUTTON, "Button", "&Extract all textures", {382, 25, 67, 14}, kTab},
    {SORRELWICK_REPLACE_BUTTON, "Button", "&Replace textures", {382, 43, 67, 14}, kTab},
    {SORRELWICK_CONVERT_CHECK, "Button", "C&onvert on import", {382, 61, 67, 14}, kCheckBox},
    {SORRELWICK_CLEAR_BUTTON, "Button", "&Clear view", {382, 97, 67, 14}, kTab},
    {SORRELWICK_PREVIEW_BUTTON, "Button", "&Preview textures", {382, 115, 67, 14}, kTab},
    {SORRELWICK_RESTORE_BUTTON, "Button", "Restore a &backup...", {382, 133, 67, 14}, kTab},
    {SORRELWICK_APPLY_MOD_BUTTON, "Button", "Mo&ds...", {382, 151, 67, 14}, kTab},
    {SORRELWICK_READ_ME_BUTTON, "Button", "Read &me", {382, 206, 67, 14}, kTab},
    {IDOK, "Button", "E&xit", {382, 225, 67, 14}, kTab | BS_DEFPUSHBUTTON},
    {SORRELWICK_REPORT_LIST, "ListBox", "", {7, 7, 367, 232}, kReport},
    {SORRELWICK_SPECULARITY_BUTTON, "Button", "Change specularity", {382, 79, 67, 14}, kTab},
};

const Control kSpecularityControls[] = {
    {SORRELWICK_WHITE_SHININESS, "Edit", "100", {55, 20, 39, 14}, kField},
    {SORRELWICK_WHITE_AMPLITUDE, "Edit", "100", {119, 20, 39, 14}, kField},
    {SORRELWICK_BLACK_SHININESS, "Edit", "100", {55, 37, 39, 14}, kField},
    {SORRELWICK_BLACK_AMPLITUDE, "Edit", "100", {119, 37, 39, 14}, kField},
    {SORRELWICK_BOARD_SHININESS, "Edit", "100", {55, 55, 39, 14}, kField},
    {SORRELWICK_BOARD_AMPLITUDE, "Edit", "100", {119, 55, 39, 14}, kField},
    {IDOK, "Button", "&Save", {28, 77, 50, 14}, kTab | BS_DEFPUSHBUTTON},
    {IDCANCEL, "Button", "&Cancel", {98, 77, 50, 14}, kTab},
};

const Control kRestoreControls[] = {
    {SORRELWICK_BACKUP_LIST, "ListBox", "", {7, 7, 346, 115}, kBackups},
    {SORRELWICK_BACKUP_SUMMARY, "Static", "", {7, 127, 346, 9}, SS_LEFTNOWORDWRAP | SS_NOPREFIX},
    {SORRELWICK_SAVE_MOD_BUTTON, "Button", "&Save changes as a mod...", {7, 143, 100, 14}, kTab},
    {SORRELWICK_COMPARE_BUTTON, "Button", "&Compare", {168, 143, 57, 14}, kTab},
    {IDOK, "Button", "&Restore", {232, 143, 57, 14}, kTab | BS_DEFPUSHBUTTON},
    {IDCANCEL, "Button", "Cancel", {296, 143, 57, 14}, kTab},
};

const Control kModQuestionControls[] = {
    {SORRELWICK_MOD_QUESTION_TEXT, "Static", "", {7, 7, 286, 98}, WS_VISIBLE | SS_NOPREFIX},
    {IDOK, "Button", "&Apply", {107, 111, 57, 14}, kTab | BS_DEFPUSHBUTTON},
    {SORRELWICK_APPLY_ALL_BUTTON, "Button", "Apply &those too", {170, 111, 60, 14}, kTab},
    {IDCANCEL, "Button", "Cancel", {236, 111, 57, 14}, kTab},
};

const Control kModDetailsControls[] = {
    {SORRELWICK_MOD_TITLE_EDIT, "Edit", "", {50, 7, 163, 14}, kTab | ES_AUTOHSCROLL},
    {SORRELWICK_MOD_AUTHOR_EDIT, "Edit", "", {50, 26, 163, 14}, kTab | ES_AUTOHSCROLL},
    {IDOK, "Button", "OK", {93, 49, 57, 14}, kTab | BS_DEFPUSHBUTTON},
    {IDCANCEL, "Button", "Cancel", {156, 49, 57, 14}, kTab},
};

const Control kModsControls[] = {
    {SORRELWICK_MODS_FOLDER_TEXT,
     "Static",
     "",
     {40, 10, 289, 8},
     WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_PATHELLIPSIS},
    {SORRELWICK_MODS_FOLDER_BUTTON, "Button", "&Folder...", {336, 7, 57, 14}, kTab},
    {SORRELWICK_MODS_LIST,
     "SysListView32",
     "",
     {7, 26, 386, 163},
     kTab | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS},
    {SORRELWICK_MODS_STATUS, "Static", "", {7, 194, 386, 9}, SS_LEFTNOWORDWRAP | SS_NOPREFIX},
    {SORRELWICK_MODS_APPLY, "Button", "&Apply", {7, 211, 57, 14}, kTab | BS_DEFPUSHBUTTON},
    {SORRELWICK_MODS_TAKE_OUT, "Button", "&Take out", {70, 211, 57, 14}, kTab},
    {SORRELWICK_MODS_SHOW_PAGE, "Button", "&Show page", {133, 211, 57, 14}, kTab},
    {SORRELWICK_MODS_ADD, "Button", "Add a mod...", {196, 211, 57, 14}, kTab},
    {IDCANCEL, "Button", "Close", {336, 211, 57, 14}, kTab},
};

const Control kReadMeControls[] = {
    {IDOK, "Button", "OK", {384, 7, 64, 14}, kTab | WS_GROUP | BS_DEFPUSHBUTTON},
    {SORRELWICK_READ_ME_EDIT, "Edit", nullptr, {7, 28, 441, 212}, kUnwrapped},
};

// The texts of the controls without an id, in tab order.
const Lines kSpecularityLabels = {"Black pieces", "Board",     "%", "%", "%", "White pieces",
                                  "Shininess",    "Amplitude", "%", "%", "%"};
const Lines kReadMeLabels = {SORRELWICK_VERSION_LINE}, kNoLabels;
const Lines kModDetailsLabels = {"&Title", "A&uthor"};
const Lines kModsLabels = {"Mods in"};

constexpr int kCentred = -1;  // on the screen, with no owner

const struct {
    int id;
    DLGPROC procedure;
    const char* caption;
    int width, height;  // of the client area, in dialog units
    int x, y;           // from the owner's client area, in dialog units
    DWORD sizing;       // sizing border and maximise box, when it has them
    const char* face;
    std::span<const Control> controls;  // those with an id
    const Lines& labels;
} kDialogs[] = {
    {SORRELWICK_MAIN_WINDOW, ui::MainWindowProcedure, "Sorrelwick", 456, 246, kCentred, kCentred,
     WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, "MS Shell Dlg", kMainControls, kNoLabels},
    {SORRELWICK_SPECULARITY_DIALOG, ui::SpecularityDialogProcedure,
     "Change chess set's specularity", 177, 98, 0, 0, 0, "MS Shell Dlg", kSpecularityControls,
     kSpecularityLabels},
    {SORRELWICK_RESTORE_DIALOG, ui::RestoreDialogProcedure, "Restore a backup", 360, 164, kCentred,
     kCentred, 0, "MS Shell Dlg", kRestoreControls, kNoLabels},
    {SORRELWICK_READ_ME_DIALOG, ui::ReadMeDialogProcedure, "Read me", 456, 246, 22, 17, 0,
     "MS Sans Serif", kReadMeControls, kReadMeLabels},
    {SORRELWICK_MOD_QUESTION_DIALOG, ui::ModQuestionProcedure, "Apply a mod", 300, 132, kCentred,
     kCentred, 0, "MS Shell Dlg", kModQuestionControls, kNoLabels},
    {SORRELWICK_MOD_DETAILS_DIALOG, ui::ModDetailsProcedure, "Save changes as a mod", 220, 70,
     kCentred, kCentred, 0, "MS Shell Dlg", kModDetailsControls, kModDetailsLabels},
    {SORRELWICK_MODS_DIALOG, ui::ModsDialogProcedure, "Mods", 400, 232, kCentred, kCentred, 0,
     "MS Shell Dlg", kModsControls, kModsLabels},
};

DWORD Style(HWND window, int which = GWL_STYLE) {
    return static_cast<DWORD>(GetWindowLongA(window, which));
}

RECT InPixels(HWND dialog, RECT units) {
    MapDialogRect(dialog, &units);
    return units;
}

// A label or a button shows its text on one line, in the dialog's font, or
// it wraps or cuts what does not fit; a check box has its box beside the text.
void ExpectWholeTextShown(HWND control, bool checkBox) {
    std::string text = WindowText(control);
    std::erase(text, '&');  // a mnemonic is underlined, not drawn
    RECT room = {};
    GetClientRect(control, &room);
    if (checkBox) room.right -= GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE);
    EXPECT_LE(DrawnWidth(control, text), room.right)
        << '"' << text << "\" in " << room.right << " pixels";
}

void ExpectControl(HWND dialog, HWND control, const Control& c) {
    EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(control)), static_cast<WORD>(c.id));
    char className[32] = {};
    GetClassNameA(control, className, sizeof className);
    EXPECT_STREQ(className, c.className);
    if (c.caption) {
        EXPECT_EQ(WindowText(control), c.caption);
    }
    RECT want = InPixels(dialog, c.units);
    want.right += want.left;
    want.bottom += want.top;
    const RECT got = PlaceIn(dialog, control);
    EXPECT_TRUE(EqualRect(&want, &got))
        << got.left << "," << got.top << " " << got.right << "," << got.bottom;

    const bool button = std::string_view(c.className) == "Button";
    const DWORD style = Style(control), typeMask = button ? BS_TYPEMASK : 0;
    EXPECT_EQ(style & (c.styles | typeMask), c.styles) << std::hex << style;
    if (button) ExpectWholeTextShown(control, c.styles == kCheckBox);
    if (c.styles == kField) {
        EXPECT_TRUE(Style(control, GWL_EXSTYLE) & WS_EX_RIGHT);
        EXPECT_EQ(style & (ES_AUTOHSCROLL | WS_HSCROLL), 0u);
    }
}

// Alt and a letter reach one control only: none of those before, whose
// letters are `taken`.
void ExpectNewMnemonic(const std::string& text, std::string& taken) {
    const std::size_t amp = text.find('&');
    if (amp == std::string::npos || amp + 1 == text.size()) return;
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[amp + 1])));
    EXPECT_EQ(taken.find(letter), std::string::npos) << "Alt+" << letter << " twice";
    taken += letter;
}

using Templates = MainWindowTest;

TEST_F(Templates, EveryDialogWithItsFrameAndEveryControlInTabOrder) {
    for (const auto& d : kDialogs) {
        SCOPED_TRACE(d.caption);
        const bool centred = d.x == kCentred;
        const HWND owner = centred ? nullptr : window;
        const HWND dialog =
            CreateDialogParamA(nullptr, MAKEINTRESOURCEA(d.id), owner, d.procedure, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(WindowText(dialog), d.caption);
        RECT client = {};
        GetClientRect(dialog, &client);
        const RECT size = InPixels(dialog, {0, 0, d.width, d.height});
        EXPECT_TRUE(EqualRect(&client, &size));
        const DWORD frame = WS_CAPTION | WS_SYSMENU | WS_POPUP;
        EXPECT_EQ(Style(dialog) & (frame | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
                  frame | d.sizing);
        EXPECT_TRUE(Style(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

        // A dialog's place is that of its client area, counted from the
        // owner's client area unless it is centred.
        RECT outline = {}, screen = {};
        GetWindowRect(dialog, &outline);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
        POINT origin = {0, 0}, corner = {0, 0};
        ClientToScreen(dialog, &origin);
        if (centred) {
            EXPECT_NEAR(outline.left + outline.right, screen.left + screen.right, 2);
            EXPECT_NEAR(outline.top + outline.bottom, screen.top + screen.bottom, 2);
        } else {
            ClientToScreen(owner, &corner);
            const RECT offset = InPixels(dialog, {d.x, d.y, 0, 0});
            EXPECT_EQ(origin.x, corner.x + offset.left);
            EXPECT_EQ(origin.y, corner.y + offset.top);
        }

        EXPECT_EQ(Utf8(FontOf(dialog).lfFaceName), d.face);
        EXPECT_EQ(FontOf(dialog).lfHeight, -MulDiv(8, ScreenDpi(), 72));

        auto expected = d.controls.begin();
        Lines labels;
        std::string mnemonics;
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            ExpectNewMnemonic(WindowText(c), mnemonics);
            if (static_cast<WORD>(GetDlgCtrlID(c)) == 0xFFFF) {
                labels.push_back(WindowText(c));
                ExpectWholeTextShown(c, false);
            } else if (expected != d.controls.end()) {
                ExpectControl(dialog, c, *expected++);
            } else {
                ADD_FAILURE() << "unexpected control " << GetDlgCtrlID(c);
            }
        }
        EXPECT_EQ(expected, d.controls.end()) << "missing controls";
        EXPECT_EQ(labels, d.labels);
        // The backups' columns line up in the report's font, at the scale of
        // the screen, and of the next one the dialog is moved to.
        if (const HWND backups = GetDlgItem(dialog, SORRELWICK_BACKUP_LIST)) {
            for (const int dpi : {ScreenDpi(), 2 * ScreenDpi()}) {
                RECT place = {};
                GetWindowRect(dialog, &place);
                if (dpi != ScreenDpi()) {
                    SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                                 reinterpret_cast<LPARAM>(&place));
                }
                EXPECT_EQ(FontOf(backups).lfHeight, -MulDiv(11, dpi, 96));
                EXPECT_EQ(FontOf(backups).lfPitchAndFamily & 3, FIXED_PITCH);
            }
        }
        if (const HWND text = GetDlgItem(dialog, SORRELWICK_READ_ME_EDIT)) {
            const std::string readMe = ui::ReadMeText();  // whole, unwrapped, from the top
            EXPECT_EQ(WindowText(text), readMe);
            EXPECT_EQ(SendMessageA(text, EM_GETLINECOUNT, 0, 0),
                      std::count(readMe.begin(), readMe.end(), '\n') + 1);
            EXPECT_EQ(SendMessageA(text, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
        }
        DestroyWindow(dialog);
        // Run modally, Escape and the close box end it with Cancel.
        for (void (*end)(HWND) : {PressEscape, PressCloseBox}) {
            TakeQuitRequest();  // the main window's, which would end the run at once
            EXPECT_EQ(RunDialog(d.id, d.procedure, owner, end), IDCANCEL);
        }
    }
}

// The program's manifest, which the tests' program carries too: visual
// styles, drawing at each monitor's scale, and no execution level, so that
// writes under Program Files keep the virtualization the game relies on.
TEST(Manifest, AsksForVisualStylesAndEveryMonitorsScaleAndNoExecutionLevel) {
    const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    const std::string manifest(bytes, SizeofResource(nullptr, found));
    for (const char* wanted :
         {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", ">true/pm</dpiAware>",
          ">PerMonitorV2, PerMonitor</dpiAwareness>", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
    }
    EXPECT_EQ(manifest.find("requestedExecutionLevel"), std::string::npos);

    // The system took it: the process draws at the monitor's scale itself.
    const DPI_AWARENESS_CONTEXT awareness = GetThreadDpiAwarenessContext();
    EXPECT_TRUE(
        AreDpiAwarenessContextsEqual(awareness, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) ||
        AreDpiAwarenessContextsEqual(awareness, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE));
}

}  // namespace
}  // namespace sorrelwick::test
