// The dialog templates as they appear on screen, and the resources the
// program file carries.

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <span>

#include "ui/read_me_dialog.h"
#include "ui/specularity_dialog.h"
#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

constexpr int kNoId = -1;

enum class Kind { Button, DefaultButton, Field, Label, ReportList, Text };

struct ControlLayout {
    int id;
    Kind kind;
    const char* caption;  // null: not looked at here
    RECT units;           // x, y, width, height in dialog units, each converted on its own
    DWORD alsoRequired = 0;
};

// What each kind of control must and must not have.
struct KindStyle {
    const char* className;
    DWORD required;  // a button's type must match
    DWORD forbidden;
    DWORD extendedRequired;
    bool bordered;
};

KindStyle StyleOf(Kind kind) {
    constexpr DWORD kShown = WS_VISIBLE | WS_TABSTOP;
    switch (kind) {
        case Kind::Button:
            return {"Button", kShown | BS_PUSHBUTTON, 0, 0, false};
        case Kind::DefaultButton:
            return {"Button", kShown | BS_DEFPUSHBUTTON, 0, 0, false};
        case Kind::Field:  // digits only, right-aligned, no sideways scrolling
            return {"Edit", kShown | ES_NUMBER, ES_AUTOHSCROLL | ES_MULTILINE | WS_HSCROLL,
                    WS_EX_RIGHT, true};
        case Kind::Label:
            return {"Static", WS_VISIBLE, WS_TABSTOP, 0, false};
        case Kind::ReportList:  // keeps the order, shows no selection; the vertical
                                // scroll bar shows once the lines fill the list
            return {"ListBox",
                    kShown | WS_HSCROLL | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT |
                        LBS_NOSEL,
                    LBS_SORT | LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE | LBS_MULTIPLESEL |
                        LBS_EXTENDEDSEL,
                    0, true};
        case Kind::Text:  // a multi-line edit with a horizontal scroll bar does not wrap
            return {"Edit", kShown | ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL, 0, 0,
                    true};
    }
    return {};
}

// Template order, which is also the tab order.
const ControlLayout kMainControls[] = {
    {SORRELWICK_LOAD_BUTTON, Kind::Button, "&Load a chess set", {382, 7, 67, 14}},
    {SORRELWICK_EXTRACT_BUTTON, Kind::Button, "&Extract all textures", {382, 25, 67, 14}},
    {SORRELWICK_REPLACE_BUTTON, Kind::Button, "&Replace textures", {382, 43, 67, 14}},
    {SORRELWICK_CLEAR_BUTTON, Kind::Button, "&Clear view", {382, 79, 67, 14}},
    {SORRELWICK_READ_ME_BUTTON, Kind::Button, "Read &me", {382, 206, 67, 14}},
    {IDOK, Kind::DefaultButton, "E&xit", {382, 225, 67, 14}},
    {SORRELWICK_REPORT_LIST, Kind::ReportList, "", {7, 7, 367, 232}},
    {SORRELWICK_SPECULARITY_BUTTON, Kind::Button, "Change specularity", {382, 61, 67, 14}},
};

// The fields show "100" once the dialog is open.
const ControlLayout kSpecularityControls[] = {
    {SORRELWICK_WHITE_SHININESS, Kind::Field, "100", {55, 20, 39, 14}},
    {SORRELWICK_WHITE_AMPLITUDE, Kind::Field, "100", {119, 20, 39, 14}},
    {SORRELWICK_BLACK_SHININESS, Kind::Field, "100", {55, 37, 39, 14}},
    {SORRELWICK_BLACK_AMPLITUDE, Kind::Field, "100", {119, 37, 39, 14}},
    {SORRELWICK_BOARD_SHININESS, Kind::Field, "100", {55, 55, 39, 14}},
    {SORRELWICK_BOARD_AMPLITUDE, Kind::Field, "100", {119, 55, 39, 14}},
    {IDOK, Kind::DefaultButton, "&Save", {28, 77, 50, 14}},
    {IDCANCEL, Kind::Button, "&Cancel", {98, 77, 50, 14}},
    {kNoId, Kind::Label, "Black pieces", {7, 39, 39, 8}},
    {kNoId, Kind::Label, "Board", {7, 57, 20, 8}},
    {kNoId, Kind::Label, "%", {98, 22, 8, 8}},
    {kNoId, Kind::Label, "%", {98, 39, 8, 8}},
    {kNoId, Kind::Label, "%", {98, 57, 8, 8}},
    {kNoId, Kind::Label, "White pieces", {7, 22, 42, 8}},
    {kNoId, Kind::Label, "Shininess", {60, 7, 30, 8}},
    {kNoId, Kind::Label, "Amplitude", {123, 7, 32, 8}},
    {kNoId, Kind::Label, "%", {161, 22, 8, 8}},
    {kNoId, Kind::Label, "%", {161, 39, 8, 8}},
    {kNoId, Kind::Label, "%", {161, 57, 8, 8}},
};

const ControlLayout kReadMeControls[] = {
    {IDOK, Kind::DefaultButton, "OK", {384, 7, 64, 14}, WS_GROUP},
    {kNoId, Kind::Label, "Sorrelwick Version 1.0", {7, 10, 119, 8}, WS_GROUP},
    {SORRELWICK_READ_ME_EDIT, Kind::Text, nullptr, {7, 28, 441, 212}},
};

struct DialogLayout {
    int id;
    DLGPROC procedure;
    const char* caption;
    SIZE units;
    std::optional<POINT> fromOwnerClient;  // nothing: centred on the screen
    const char* face;
    std::span<const ControlLayout> controls;
};

const DialogLayout kDialogs[] = {
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

DWORD Style(HWND window) {
    return static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
}
DWORD ExtendedStyle(HWND window) {
    return static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
}

RECT InPixels(HWND dialog, RECT units) {
    MapDialogRect(dialog, &units);
    return units;
}

void ExpectControl(HWND dialog, HWND control, const ControlLayout& expected) {
    const KindStyle kind = StyleOf(expected.kind);
    EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(control)), static_cast<WORD>(expected.id));
    char className[32] = {};
    GetClassNameA(control, className, sizeof className);
    EXPECT_STREQ(className, kind.className);
    if (expected.caption) {
        EXPECT_EQ(WindowText(control), expected.caption);
    }

    const RECT want = InPixels(dialog, expected.units);
    RECT got = {};
    GetWindowRect(control, &got);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&got), 2);
    got.right -= got.left;
    got.bottom -= got.top;
    EXPECT_EQ(std::memcmp(&want, &got, sizeof want), 0)
        << want.left << "," << want.top << "," << want.right << "," << want.bottom << " / "
        << got.left << "," << got.top << "," << got.right << "," << got.bottom;

    const DWORD style = Style(control), extended = ExtendedStyle(control);
    const bool button = std::strcmp(kind.className, "Button") == 0;
    const DWORD required = (kind.required | expected.alsoRequired) & ~(button ? BS_TYPEMASK : 0u);
    EXPECT_EQ(style & required, required) << std::hex << style;
    EXPECT_EQ(style & kind.forbidden, 0u) << std::hex << style;
    EXPECT_TRUE(!button || (style & BS_TYPEMASK) == (kind.required & BS_TYPEMASK)) << style;
    EXPECT_EQ(extended & kind.extendedRequired, kind.extendedRequired);
    // The dialog manager may draw a border as a sunken edge instead.
    EXPECT_TRUE(!kind.bordered || (style & WS_BORDER) || (extended & WS_EX_CLIENTEDGE));
}

void ExpectFrame(HWND dialog, HWND owner, const DialogLayout& expected) {
    EXPECT_EQ(WindowText(dialog), expected.caption);
    RECT client = {};
    GetClientRect(dialog, &client);
    const RECT size = InPixels(dialog, {0, 0, expected.units.cx, expected.units.cy});
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    const DWORD style = Style(dialog);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_POPUP),
              DWORD{WS_CAPTION | WS_SYSMENU | WS_POPUP});
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(ExtendedStyle(dialog) & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(GetMenu(dialog), nullptr);

    // A dialog's position is that of its client area, counted from the
    // owner's client area unless the dialog is centred.
    if (expected.fromOwnerClient) {
        POINT corner = {0, 0}, origin = {0, 0};
        ClientToScreen(owner, &corner);
        ClientToScreen(dialog, &origin);
        const RECT offset =
            InPixels(dialog, {expected.fromOwnerClient->x, expected.fromOwnerClient->y, 0, 0});
        EXPECT_EQ(origin.x, corner.x + offset.left);
        EXPECT_EQ(origin.y, corner.y + offset.top);
    } else {
        RECT frame = {}, screen = {};
        GetWindowRect(dialog, &frame);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
        EXPECT_NEAR((frame.left + frame.right) / 2, (screen.left + screen.right) / 2, 1);
        EXPECT_NEAR((frame.top + frame.bottom) / 2, (screen.top + screen.bottom) / 2, 1);
    }

    const auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    LOGFONTA logFont = {};
    ASSERT_TRUE(GetObjectA(font, sizeof logFont, &logFont));
    EXPECT_STREQ(logFont.lfFaceName, expected.face);
    const HDC screen = GetDC(nullptr);
    EXPECT_EQ(logFont.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);
}

using Templates = MainWindowTest;

// Each dialog as its command opens it: the main window on its own, the
// others owned by it.
TEST_F(Templates, EveryDialogWithItsFrameAndEveryControlInOrder) {
    for (const DialogLayout& expected : kDialogs) {
        SCOPED_TRACE(expected.caption);
        const bool main = expected.id == SORRELWICK_MAIN_WINDOW;
        const HWND owner = main ? nullptr : window;
        const HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), ResourceId(expected.id),
                                               owner, expected.procedure, 0);
        ASSERT_NE(dialog, nullptr);
        ExpectFrame(dialog, owner, expected);
        HWND control = GetWindow(dialog, GW_CHILD);
        for (const ControlLayout& layout : expected.controls) {
            SCOPED_TRACE(layout.caption ? layout.caption : "");
            ASSERT_NE(control, nullptr);
            ExpectControl(dialog, control, layout);
            control = GetWindow(control, GW_HWNDNEXT);
        }
        EXPECT_EQ(control, nullptr);
        DestroyWindow(dialog);
        if (main) TakeQuitRequest();
    }
}

// The program file itself, read as data.
class ProgramFile : public ::testing::Test {
protected:
    void SetUp() override {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        path = self;
        path = path.substr(0, path.find_last_of('\\') + 1) + SORRELWICK_PROGRAM_FROM_TESTS;
        module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << path;
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }

    std::string Bytes(int id, LPCSTR type) const {
        const HRSRC found = FindResourceA(module, ResourceId(id), type);
        if (!found) return {};
        const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        return std::string(data, SizeofResource(module, found));
    }

    std::string path;
    HMODULE module = nullptr;
};

TEST_F(ProgramFile, CarriesTitleIconsDialogsReadMeAndVersion) {
    char title[100] = {};
    EXPECT_EQ(LoadStringA(module, SORRELWICK_TITLE_STRING, title, sizeof title), 10);
    EXPECT_STREQ(title, "Sorrelwick");

    // The same picture twice: groups of the same size and header.
    const std::string icon = Bytes(SORRELWICK_ICON, ResourceId(14));  // RT_GROUP_ICON
    ASSERT_GE(icon.size(), 6u + 14u);
    EXPECT_EQ(icon.substr(0, 6), Bytes(SORRELWICK_ICON_SMALL, ResourceId(14)).substr(0, 6));
    EXPECT_EQ(icon.size(), Bytes(SORRELWICK_ICON_SMALL, ResourceId(14)).size());
    for (const int dialog :
         {SORRELWICK_MAIN_WINDOW, SORRELWICK_SPECULARITY_DIALOG, SORRELWICK_READ_ME_DIALOG}) {
        EXPECT_FALSE(Bytes(dialog, ResourceId(5)).empty()) << dialog;  // RT_DIALOG
    }
    EXPECT_EQ(Bytes(SORRELWICK_READ_ME_TEXT, ResourceId(10)), ui::ReadMeText());  // RT_RCDATA

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::string info(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
}

}  // namespace
}  // namespace sorrelwick::test
