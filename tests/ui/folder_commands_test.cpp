// The folder picker's callback, and Extract all textures and Replace
// textures through a stand-in for the picker: what they report, the last
// folder they share, and the request the picker receives.

#include "ui/folder_commands.h"

#include <filesystem>

#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

using report::TextureInfoLine;

// The messages from WM_USER up that the picker's window received, each
// ended by ';': name, first parameter, second parameter or its text.
std::string received;

LRESULT CALLBACK Receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message < WM_USER) return DefWindowProcA(window, message, wParam, lParam);
    const bool text = message == BFFM_SETSELECTIONW || message == BFFM_SETSTATUSTEXTW;
    const std::string name = message == BFFM_SETSELECTIONW    ? "select"
                             : message == BFFM_SETSTATUSTEXTW ? "status"
                             : message == BFFM_ENABLEOK       ? "enable OK"
                                                              : std::to_string(message);
    received += name + " " + std::to_string(wParam) + " " +
                (text ? Utf8(reinterpret_cast<const wchar_t*>(lParam)) : std::to_string(lParam)) +
                ";";
    return 0;
}

TEST(FolderPickerCallback, AnswersEachEventWithItsMessages) {
    const HWND picker =
        CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(picker, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Receive));
    TempDir dir;
    const std::string folder = dir.Path().string();
    PIDLIST_ABSOLUTE myComputer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &myComputer), S_OK);
    const PIDLIST_ABSOLUTE folderItem = ILCreateFromPathA(folder.c_str());
    ASSERT_NE(folderItem, nullptr);
    const struct {
        const char* what;
        UINT event;
        PIDLIST_ABSOLUTE item;
        std::string sent;
        int result = 0;
        std::string lastFolder = "C:\\sets";
    } cases[] = {
        {"opens on the last folder", BFFM_INITIALIZED, nullptr, "select 1 C:\\sets;"},
        {"opens as it likes without one", BFFM_INITIALIZED, nullptr, "", 0, ""},
        {"a folder is selected", BFFM_SELCHANGED, folderItem,
         "status 0 " + folder + ";enable OK 0 1;"},
        {"an item without a path is selected", BFFM_SELCHANGED, myComputer, ""},
        {"a typed name is not valid", BFFM_VALIDATEFAILEDW, nullptr, "enable OK 0 0;", 1},
        {"any other event", BFFM_IUNKNOWN, nullptr, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ui::TheToolState().lastFolder = c.lastFolder;
        received.clear();
        const auto item = reinterpret_cast<LPARAM>(c.item);
        EXPECT_EQ(ui::FolderPickerCallback(picker, c.event, item, 0), c.result);
        EXPECT_EQ(received, c.sent);
    }
    CoTaskMemFree(folderItem);
    CoTaskMemFree(myComputer);
    DestroyWindow(picker);
}

class FolderCommands : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        expected = LoadSmallSet("set1.DAT");
    }
    std::string Folder(const std::string& name) {
        std::filesystem::create_directory(dir.Path() / name);
        return dir.File(name);
    }
    // Runs command `id` while the picker gives `folder` (none: cancelled).
    void Pick(int id, std::optional<std::string> folder) {
        pickerAnswer = std::move(folder);
        Click(id);
    }
    void ExpectReported(const Lines& more) {
        Append(expected, more);
        EXPECT_EQ(Report(), expected);
    }

    Lines expected;  // the report so far
};

// What an image editor saves: refused as it is, converted on import while
// the box is checked, which stays so. (Extracting into the picked folder is
// tried with the program's session.)
TEST_F(FolderCommands, ReplaceConvertsOnlyWhileTheBoxIsChecked) {
    const std::string textures = Folder("textures");
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("textures\\wood.tga"), gen::MakeTga(16, 32, 32)));
    const std::string importing = "Importing textures from " + textures + " into set1.DAT";
    EXPECT_EQ(IsDlgButtonChecked(window, SORRELWICK_CONVERT_CHECK), BST_UNCHECKED);
    Pick(SORRELWICK_REPLACE_BUTTON, textures);
    ExpectReported(Framed(importing, {TextureInfoLine("wood.tga", 16, 32, 24,
                                                      "Import failed: wrong color depth (32 bits)"),
                                      "Original file renamed to set1.000"}));
    Click(SORRELWICK_CONVERT_CHECK);
    Pick(SORRELWICK_REPLACE_BUTTON, textures);
    ExpectReported(Framed(importing, {TextureInfoLine("wood.tga", 16, 32, 24,
                                                      "Import successful: converted from 32 bits"),
                                      "Original file renamed to set1.001"}));
    EXPECT_EQ(IsDlgButtonChecked(window, SORRELWICK_CONVERT_CHECK), BST_CHECKED);
    EXPECT_EQ(dir.Entries(), (Lines{"set1.000", "set1.001", "set1.DAT", "textures"}));
}

// Each picker asks alike but for its title, and opens where the last
// confirmed pick of either command ended; a cancelled pick changes and
// reports nothing.
TEST_F(FolderCommands, PickersAskFieldByFieldAndShareTheLastFolder) {
    const std::string start = ui::TheToolState().lastFolder;
    const std::string first = Folder("first"), second = Folder("second");
    Pick(SORRELWICK_EXTRACT_BUTTON, first);
    Pick(SORRELWICK_REPLACE_BUTTON, second);
    const Lines reported = Report();
    Pick(SORRELWICK_EXTRACT_BUTTON, std::nullopt);
    Pick(SORRELWICK_REPLACE_BUTTON, std::nullopt);
    EXPECT_EQ(Report(), reported);
    EXPECT_EQ(ui::TheToolState().lastFolder, second);

    const Lines titles = {"Select the directory to extract all set1.DAT's textures to",
                          "Select the directory hosting the textures"};
    const Lines openedOn = {start, first, second, second};
    ASSERT_EQ(pickerRequests.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const BROWSEINFOW& r = pickerRequests[i].fields;
        EXPECT_EQ(pickerRequests[i].title, titles[i % 2]);  // Extract, then Replace
        EXPECT_EQ(pickerRequests[i].lastFolder, openedOn[i]);
        EXPECT_EQ(pickerRequests[i].displayName, "");
        EXPECT_EQ(r.hwndOwner, window);
        EXPECT_EQ(r.ulFlags, 0x70u);
        EXPECT_EQ(r.lpfn, &ui::FolderPickerCallback);
        EXPECT_TRUE(!r.pidlRoot && !r.lParam && !r.iImage) << "root, parameter or image set";
    }
    // Cut to the 259 characters the title's buffer holds, between
    // characters: 36 of the text, then 223 two-byte letters.
    std::string cyrillic, kept;
    for (int i = 0; i < 250; ++i) cyrillic += "\xD0\x94";
    for (int i = 0; i < 223; ++i) kept += "\xD0\x94";
    EXPECT_EQ(ui::ExtractPickerTitle(cyrillic), "Select the directory to extract all " + kept);
}

// Asked for an item's path, fails and leaves the buffer as it was, the
// display name still in it.
BOOL WINAPI NoPath(PCIDLIST_ABSOLUTE, PWSTR, DWORD, GPFIDL_FLAGS) {
    return FALSE;
}
// Gives every item a path 300 characters long.
BOOL WINAPI LongPath(PCIDLIST_ABSOLUTE, PWSTR path, DWORD size, GPFIDL_FLAGS) {
    const std::wstring longPath = L"C:\\" + std::wstring(297, L'a');
    if (size <= longPath.size()) return FALSE;
    lstrcpynW(path, longPath.c_str(), static_cast<int>(size));
    return TRUE;
}

// An item outside the file system (My Computer, say), or whose path is too
// long, gives the empty folder, which each operation refuses; the picker's
// display name never stands in for a path.
TEST_F(FolderCommands, ItemWithoutPathIsTheEmptyFolder) {
    const std::string textures = Folder("textures");
    ui::ReplaceFolderPickerForTests(&FolderPicker, &NoPath);
    Pick(SORRELWICK_REPLACE_BUTTON, textures);
    ExpectReported({"Error - Invalid import path"});
    EXPECT_EQ(ui::TheToolState().lastFolder, "");

    // A path longer than the system takes is never cut and then used.
    ui::ReplaceFolderPickerForTests(&FolderPicker, &LongPath);
    Pick(SORRELWICK_EXTRACT_BUTTON, textures);
    ExpectReported({"Error - Invalid extract path"});
    EXPECT_EQ(dir.Entries(), (Lines{"set1.DAT", "textures"}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path() / "textures"));
}

}  // namespace
}  // namespace sorrelwick::test
