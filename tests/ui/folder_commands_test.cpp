// The folder picker's callback, and the Extract all textures and Replace
// textures commands through a stand-in for the picker: what they report,
// the last folder they share, and the request the picker receives.

#include <filesystem>

#include "ui/folder_commands.h"
#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

using report::TextureInfoLine;

std::vector<SentMessage> Selecting(const std::string& folder) {
    return {{BFFM_SETSELECTIONA, TRUE, 0, folder}};
}

TEST(FolderPickerCallback, AnswersEachEventWithItsMessages) {
    TempDir dir;
    const std::string folder = dir.Path().string();
    PIDLIST_ABSOLUTE myComputer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &myComputer), S_OK);
    const PIDLIST_ABSOLUTE folderItem = ILCreateFromPathA(folder.c_str());
    ASSERT_NE(folderItem, nullptr);
    const auto Param = [](PIDLIST_ABSOLUTE item) { return reinterpret_cast<LPARAM>(item); };
    const struct {
        const char* what;
        std::string lastFolder;
        UINT event;
        LPARAM parameter;
        std::vector<SentMessage> sent;
        int result;
    } cases[] = {
        {"opens on the last folder", "C:\\sets", BFFM_INITIALIZED, 0, Selecting("C:\\sets"), 0},
        {"opens as it likes without one", "", BFFM_INITIALIZED, 0, {}, 0},
        {"a folder is selected",
         "C:\\sets",
         BFFM_SELCHANGED,
         Param(folderItem),
         {{BFFM_SETSTATUSTEXTA, 0, 0, folder}, {BFFM_ENABLEOK, 0, TRUE, ""}},
         0},
        {"an item without a path is selected",
         "C:\\sets",
         BFFM_SELCHANGED,
         Param(myComputer),
         {},
         0},
        {"a typed name is not valid",
         "C:\\sets",
         BFFM_VALIDATEFAILEDA,
         0,
         {{BFFM_ENABLEOK, 0, FALSE, ""}},
         1},
        {"any other event", "C:\\sets", BFFM_IUNKNOWN, 0, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ui::TheToolState().lastFolder = c.lastFolder;
        recorded.clear();
        EXPECT_EQ(ui::FolderPickerCallback(Recorder(), c.event, c.parameter, 0), c.result);
        EXPECT_EQ(recorded, c.sent);
    }
    CoTaskMemFree(folderItem);
    CoTaskMemFree(myComputer);
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
    void Pick(int id, const std::string& folder) {
        ConfirmFolder(folder);
        Click(id);
    }

    Lines expected;  // the report so far
};

TEST_F(FolderCommands, ExtractThenReplaceFromThePickedFolder) {
    const std::string textures = Folder("textures");
    Pick(SORRELWICK_EXTRACT_BUTTON, textures);
    for (const std::string& line :
         Framed("Exporting set1.DAT's textures to " + textures,
                {TextureInfoLine("wood.tga", 16, 32, 24, "Export successful")})) {
        expected.push_back(line);
    }
    EXPECT_EQ(Report(), expected);
    EXPECT_EQ(gen::ReadWholeFile(dir.File("textures\\wood.tga")), gen::MakeTga(16, 32, 24));

    ASSERT_TRUE(gen::WriteWholeFile(dir.File("textures\\wood.tga"), gen::MakeTga(32, 32, 24)));
    Pick(SORRELWICK_REPLACE_BUTTON, textures);
    for (const std::string& line :
         Framed("Importing textures from " + textures + " into set1.DAT",
                {TextureInfoLine("wood.tga", 16, 32, 24,
                                 "Import successful: size modified (to 32x32)"),
                 "Original file renamed to set1.000"})) {
        expected.push_back(line);
    }
    EXPECT_EQ(Report(), expected);
    EXPECT_EQ(dir.Entries(), (Lines{"set1.000", "set1.DAT", "textures"}));
}

// Each picker opens where the last confirmed pick of either command ended;
// a cancelled pick changes and reports nothing.
TEST_F(FolderCommands, BothCommandsShareTheLastFolder) {
    const std::string start = ui::TheToolState().lastFolder;
    const std::string first = Folder("first"), second = Folder("second");
    Pick(SORRELWICK_EXTRACT_BUTTON, first);
    Pick(SORRELWICK_REPLACE_BUTTON, second);
    EXPECT_EQ(ui::TheToolState().lastFolder, second);
    const Lines reported = Report();
    CancelPicker();
    Click(SORRELWICK_EXTRACT_BUTTON);
    Click(SORRELWICK_REPLACE_BUTTON);
    EXPECT_EQ(Report(), reported);
    EXPECT_EQ(ui::TheToolState().lastFolder, second);

    ASSERT_EQ(pickerRequests.size(), 4u);
    EXPECT_EQ(pickerRequests[0].atOpening, Selecting(start));
    EXPECT_EQ(pickerRequests[1].atOpening, Selecting(first));
    EXPECT_EQ(pickerRequests[2].atOpening, Selecting(second));
    EXPECT_EQ(pickerRequests[3].atOpening, Selecting(second));
}

// An item outside the file system gives the empty folder, which each
// operation refuses; its display name never stands in for a path.
TEST_F(FolderCommands, ItemWithoutPathIsTheEmptyFolder) {
    const std::string textures = Folder("textures");
    ConfirmMyComputer();
    Click(SORRELWICK_EXTRACT_BUTTON);
    expected.push_back("Error - Invalid extract path");
    EXPECT_EQ(Report(), expected);
    EXPECT_EQ(ui::TheToolState().lastFolder, "");

    FailPaths();
    ConfirmFolder(textures);
    Click(SORRELWICK_REPLACE_BUTTON);
    expected.push_back("Error - Invalid import path");
    EXPECT_EQ(Report(), expected);
    EXPECT_EQ(ui::TheToolState().lastFolder, "");
    EXPECT_EQ(pickerRequests[1].atOpening, std::vector<SentMessage>{}) << "opened on a folder";
    EXPECT_EQ(dir.Entries(), (Lines{"set1.DAT", "textures"}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path() / "textures"));
}

TEST_F(FolderCommands, PickerRequestFieldByField) {
    Click(SORRELWICK_EXTRACT_BUTTON);
    Click(SORRELWICK_REPLACE_BUTTON);
    ASSERT_EQ(pickerRequests.size(), 2u);
    for (const PickerRequest& request : pickerRequests) {
        const BROWSEINFOA& r = request.fields;
        EXPECT_EQ(r.hwndOwner, window);
        EXPECT_EQ(r.pidlRoot, nullptr);
        EXPECT_EQ(request.displayName, "");
        EXPECT_EQ(r.ulFlags, 0x70u);
        EXPECT_EQ(r.lpfn, &ui::FolderPickerCallback);
        EXPECT_EQ(r.lParam, 0);
        EXPECT_EQ(r.iImage, 0);
    }
    EXPECT_EQ(pickerRequests[0].title,
              "Select the directory to extract all set1.DAT's textures to");
    EXPECT_EQ(pickerRequests[1].title, "Select the directory hosting the textures");

    const std::string longName(250, 'n');
    EXPECT_EQ(ui::ExtractPickerTitle(longName),
              ("Select the directory to extract all " + longName).substr(0, 259));
}

}  // namespace
}  // namespace sorrelwick::test
