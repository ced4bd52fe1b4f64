// The main window's template as it appears on screen, and the resources the
// program file carries.

#include <gtest/gtest.h>

#include <cstring>

#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

struct ControlLayout {
    int id;
    const char* className;
    const char* caption;
    RECT units;  // x, y, width, height in dialog units, each converted on its own
};

// Template order, which is also the tab order.
const ControlLayout kControls[] = {
    {SORRELWICK_LOAD_BUTTON, "Button", "&Load a chess set", {382, 7, 67, 14}},
    {SORRELWICK_EXTRACT_BUTTON, "Button", "&Extract all textures", {382, 25, 67, 14}},
    {SORRELWICK_REPLACE_BUTTON, "Button", "&Replace textures", {382, 43, 67, 14}},
    {SORRELWICK_CLEAR_BUTTON, "Button", "&Clear view", {382, 79, 67, 14}},
    {SORRELWICK_READ_ME_BUTTON, "Button", "Read &me", {382, 206, 67, 14}},
    {IDOK, "Button", "E&xit", {382, 225, 67, 14}},
    {SORRELWICK_REPORT_LIST, "ListBox", "", {7, 7, 367, 232}},
    {SORRELWICK_SPECULARITY_BUTTON, "Button", "Change specularity", {382, 61, 67, 14}},
};

DWORD Style(HWND window) {
    return static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
}

using MainWindowTemplate = MainWindowTest;

TEST_F(MainWindowTemplate, EveryControlInOrderWithItsCaptionPlaceAndStyle) {
    HWND control = GetWindow(window, GW_CHILD);
    for (const ControlLayout& expected : kControls) {
        SCOPED_TRACE(expected.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetDlgCtrlID(control), expected.id);
        char className[32] = {};
        GetClassNameA(control, className, sizeof className);
        EXPECT_STREQ(className, expected.className);
        EXPECT_EQ(WindowText(control), expected.caption);

        RECT want = expected.units;
        MapDialogRect(window, &want);
        RECT got = {};
        GetWindowRect(control, &got);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&got), 2);
        got.right -= got.left;
        got.bottom -= got.top;
        EXPECT_EQ(std::memcmp(&want, &got, sizeof want), 0)
            << want.left << "," << want.top << "," << want.right << "," << want.bottom << " / "
            << got.left << "," << got.top << "," << got.right << "," << got.bottom;

        EXPECT_TRUE(Style(control) & WS_VISIBLE);
        EXPECT_TRUE(Style(control) & WS_TABSTOP);
        if (std::strcmp(expected.className, "Button") == 0) {
            EXPECT_EQ(Style(control) & BS_TYPEMASK,
                      expected.id == IDOK ? DWORD{BS_DEFPUSHBUTTON} : DWORD{BS_PUSHBUTTON});
        }
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(control, nullptr);
}

TEST_F(MainWindowTemplate, ReportListKeepsOrderShowsNoSelectionAndIsBordered) {
    const DWORD style = Style(list);
    for (const DWORD bit : {DWORD{LBS_NOTIFY}, DWORD{LBS_USETABSTOPS}, DWORD{LBS_NOINTEGRALHEIGHT},
                            DWORD{LBS_NOSEL}}) {
        EXPECT_EQ(style & bit, bit) << std::hex << bit;
    }
    for (const DWORD bit :
         {DWORD{LBS_SORT}, DWORD{LBS_OWNERDRAWFIXED}, DWORD{LBS_OWNERDRAWVARIABLE},
          DWORD{LBS_MULTIPLESEL}, DWORD{LBS_EXTENDEDSEL}}) {
        EXPECT_EQ(style & bit, 0u) << std::hex << bit;
    }
    // The dialog manager may draw the border as a sunken edge instead.
    const auto extended = static_cast<DWORD>(GetWindowLongPtrA(list, GWL_EXSTYLE));
    EXPECT_TRUE((style & WS_BORDER) || (extended & WS_EX_CLIENTEDGE));
    // Scroll bars show when there is something to scroll: the 1000-pixel
    // width at once, the lines once they fill the list.
    EXPECT_TRUE(style & WS_HSCROLL);
}

TEST_F(MainWindowTemplate, FixedSizeCentredWindowWithCloseBoxOnly) {
    RECT want = {0, 0, 456, 246};
    MapDialogRect(window, &want);
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, want.right);
    EXPECT_EQ(client.bottom, want.bottom);

    const DWORD style = Style(window);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(GetMenu(window), nullptr);

    RECT frame = {}, screen = {};
    GetWindowRect(window, &frame);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
    EXPECT_NEAR((frame.left + frame.right) / 2, (screen.left + screen.right) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (screen.top + screen.bottom) / 2, 1);
}

TEST_F(MainWindowTemplate, DialogFontIsShellDlgAtEightPoints) {
    const auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    LOGFONTA logFont = {};
    ASSERT_TRUE(GetObjectA(font, sizeof logFont, &logFont));
    EXPECT_STREQ(logFont.lfFaceName, "MS Shell Dlg");
    const HDC screen = GetDC(nullptr);
    EXPECT_EQ(logFont.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);
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

TEST_F(ProgramFile, CarriesTitleTwoIdenticalIconGroupsAndVersion) {
    char title[100] = {};
    EXPECT_EQ(LoadStringA(module, SORRELWICK_TITLE_STRING, title, sizeof title), 10);
    EXPECT_STREQ(title, "Sorrelwick");

    const std::string icon = Bytes(SORRELWICK_ICON, ResourceId(14));  // RT_GROUP_ICON
    const std::string smallIcon = Bytes(SORRELWICK_ICON_SMALL, ResourceId(14));
    ASSERT_GE(icon.size(), 6u + 14u);
    ASSERT_EQ(icon.size(), smallIcon.size());
    EXPECT_EQ(icon.substr(0, 6), smallIcon.substr(0, 6));
    // Each entry describes one image (12 bytes) and names its icon resource
    // (2 bytes): the descriptions and the images themselves must match.
    for (std::size_t entry = 6; entry + 14 <= icon.size(); entry += 14) {
        EXPECT_EQ(icon.substr(entry, 12), smallIcon.substr(entry, 12));
        const auto image = [this](const std::string& group, std::size_t at) {
            const int id = static_cast<unsigned char>(group[at + 12]) |
                           static_cast<unsigned char>(group[at + 13]) << 8;
            return Bytes(id, ResourceId(3));  // RT_ICON
        };
        EXPECT_FALSE(image(icon, entry).empty());
        EXPECT_EQ(image(icon, entry), image(smallIcon, entry));
    }
    EXPECT_FALSE(Bytes(SORRELWICK_MAIN_WINDOW, ResourceId(5)).empty());  // RT_DIALOG

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::string info(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    char* product = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\ProductName",
                               reinterpret_cast<void**>(&product), &length));
    EXPECT_STREQ(product, "Sorrelwick");
}

}  // namespace
}  // namespace sorrelwick::test
