// The three dialog templates as a user meets them: each frame's caption,
// size, place and font, and each control in tab order with its id, class,
// caption, place and the styles that matter. And the program's icons and
// version.

#include <cstring>
#include <optional>
#include <span>

#include "ui/read_me_dialog.h"
#include "ui/specularity_dialog.h"
#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kField = kTab | ES_NUMBER;  // also right-aligned, never scrolled sideways
constexpr DWORD kLabel = WS_VISIBLE;
constexpr DWORD kReport = kTab | WS_HSCROLL | LBS_NOSEL | LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS;
constexpr DWORD kUnwrapped = kTab | ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL;

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
    {SORRELWICK_CLEAR_BUTTON, "Button", "&Clear view", {382, 79, 67, 14}, kTab},
    {SORRELWICK_READ_ME_BUTTON, "Button", "Read &me", {382, 206, 67, 14}, kTab},
    {IDOK, "Button", "E&xit", {382, 225, 67, 14}, kTab | BS_DEFPUSHBUTTON},
    {SORRELWICK_REPORT_LIST, "ListBox", "", {7, 7, 367, 232}, kReport},
    {SORRELWICK_SPECULARITY_BUTTON, "Button", "Change specularity", {382, 61, 67, 14}, kTab},
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
    {-1, "Static", "Black pieces", {7, 39, 39, 8}, kLabel},
    {-1, "Static", "Board", {7, 57, 20, 8}, kLabel},
    {-1, "Static", "%", {98, 22, 8, 8}, kLabel},
    {-1, "Static", "%", {98, 39, 8, 8}, kLabel},
    {-1, "Static", "%", {98, 57, 8, 8}, kLabel},
    {-1, "Static", "White pieces", {7, 22, 42, 8}, kLabel},
    {-1, "Static", "Shininess", {60, 7, 30, 8}, kLabel},
    {-1, "Static", "Amplitude", {123, 7, 32, 8}, kLabel},
    {-1, "Static", "%", {161, 22, 8, 8}, kLabel},
    {-1, "Static", "%", {161, 39, 8, 8}, kLabel},
    {-1, "Static", "%", {161, 57, 8, 8}, kLabel},
};

const Control kReadMeControls[] = {
    {IDOK, "Button", "OK", {384, 7, 64, 14}, kTab | WS_GROUP | BS_DEFPUSHBUTTON},
    {-1, "Static", "Sorrelwick Version 1.0", {7, 10, 119, 8}, kLabel | WS_GROUP},
    {SORRELWICK_READ_ME_EDIT, "Edit", nullptr, {7, 28, 441, 212}, kUnwrapped},
};

const struct {
    int id;
    DLGPROC procedure;
    const char* caption;
    SIZE units;
    std::optional<POINT> fromOwner;  // nothing: centred on the screen, with no owner
    const char* face;
    std::span<const Control> controls;
} kDialogs[] = {
    {SORRELWICK_MAIN_WINDOW,
     ui::MainWindowProcedure,
     "Sorrelwick",
     {456, 246},
     std::nullopt,
     "MS Shell Dlg",
     kMainControls},
    {SORRELWICK_SPECULARITY_DIALOG,
     ui::SpecularityDialogProcedure,
     "Change chess set's specularity",
     {177, 98},
     POINT{0, 0},
     "MS Shell Dlg",
     kSpecularityControls},
    {SORRELWICK_READ_ME_DIALOG,
     ui::ReadMeDialogProcedure,
     "Read me",
     {456, 246},
     POINT{22, 17},
     "MS Sans Serif",
     kReadMeControls},
};

DWORD Style(HWND window, int which = GWL_STYLE) {
    return static_cast<DWORD>(GetWindowLongA(window, which));
}

RECT InPixels(HWND dialog, RECT units) {
    MapDialogRect(dialog, &units);
    return units;
}

void ExpectControl(HWND dialog, HWND control, const Control& c) {
    EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(control)), static_cast<WORD>(c.id));
    char className[32] = {};
    GetClassNameA(control, className, sizeof className);
    EXPECT_STREQ(className, c.className);
    if (c.caption) {
        EXPECT_EQ(WindowText(control), c.caption);
    }

    RECT want = InPixels(dialog, c.units), got = {};
    want.right += want.left;
    want.bottom += want.top;
    GetWindowRect(control, &got);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&got), 2);
    EXPECT_TRUE(EqualRect(&want, &got))
        << got.left << "," << got.top << " " << got.right << "," << got.bottom;

    const DWORD style = Style(control), typeMask = c.className[0] == 'B' ? BS_TYPEMASK : 0;
    EXPECT_EQ(style & (c.styles | typeMask), c.styles) << std::hex << style;
    if (c.styles == kField) {
        EXPECT_TRUE(Style(control, GWL_EXSTYLE) & WS_EX_RIGHT);
        EXPECT_EQ(style & (ES_AUTOHSCROLL | WS_HSCROLL), 0u);
    }
}

using Templates = MainWindowTest;

TEST_F(Templates, EveryDialogWithItsFrameAndEveryControlInTabOrder) {
    for (const auto& d : kDialogs) {
        SCOPED_TRACE(d.caption);
        const HWND owner = d.fromOwner ? window : nullptr;
        const HWND dialog =
            CreateDialogParamA(nullptr, MAKEINTRESOURCEA(d.id), owner, d.procedure, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(WindowText(dialog), d.caption);
        RECT client = {};
        GetClientRect(dialog, &client);
        const RECT size = InPixels(dialog, {0, 0, d.units.cx, d.units.cy});
        EXPECT_TRUE(EqualRect(&client, &size));
        const DWORD frame = WS_CAPTION | WS_SYSMENU | WS_POPUP;
        EXPECT_EQ(Style(dialog) & (frame | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), frame);
        EXPECT_TRUE(Style(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

        // A dialog's place is that of its client area, counted from the
        // owner's client area unless it is centred.
        RECT outline = {}, screen = {};
        GetWindowRect(dialog, &outline);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
        POINT origin = {0, 0}, corner = {0, 0};
        ClientToScreen(dialog, &origin);
        if (d.fromOwner) {
            ClientToScreen(owner, &corner);
            const RECT offset = InPixels(dialog, {d.fromOwner->x, d.fromOwner->y, 0, 0});
            EXPECT_EQ(origin.x, corner.x + offset.left);
            EXPECT_EQ(origin.y, corner.y + offset.top);
        } else {
            EXPECT_NEAR(outline.left + outline.right, screen.left + screen.right, 2);
            EXPECT_NEAR(outline.top + outline.bottom, screen.top + screen.bottom, 2);
        }

        LOGFONTA font = {};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        EXPECT_STREQ(font.lfFaceName, d.face);
        const HDC dc = GetDC(nullptr);
        EXPECT_EQ(font.lfHeight, -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72));
        ReleaseDC(nullptr, dc);

        HWND control = GetWindow(dialog, GW_CHILD);
        for (const Control& c : d.controls) {
            SCOPED_TRACE(c.caption ? c.caption : "");
            ASSERT_NE(control, nullptr);
            ExpectControl(dialog, control, c);
            control = GetWindow(control, GW_HWNDNEXT);
        }
        EXPECT_EQ(control, nullptr);
        DestroyWindow(dialog);
    }
}

// The same picture twice: groups of the same size and header. And the version.
TEST(Resources, TwoIconGroupsOfOnePictureAndVersionOne) {
    const auto group = [](int id) {
        const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_GROUP_ICON);
        if (!found) return std::string();
        const auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
        return std::string(bytes, SizeofResource(nullptr, found));
    };
    const std::string icon = group(SORRELWICK_ICON), small = group(SORRELWICK_ICON_SMALL);
    ASSERT_GE(icon.size(), 6u + 14u);
    EXPECT_EQ(icon.size(), small.size());
    EXPECT_EQ(icon.substr(0, 6), small.substr(0, 6));

    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string info(GetFileVersionInfoSizeA(self, nullptr), '\0');
    ASSERT_TRUE(GetFileVersionInfoA(self, 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
}

}  // namespace
}  // namespace sorrelwick::test
