// The folder picker's callback, and the Extract all textures and Replace
// textures commands through a stand-in for the picker: what they report,
// the last folder they share, and the request the picker receives.

#include "ui/folder_commands.h"

#include <filesystem>

#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"
#include "report/lines.h"
#include "support/report_matchers.h"
#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

using report::TextureInfoLine;
using Lines = std::vector<std::string>;

// An item identifier list, freed with the shell's allocator.
struct Item {
    explicit Item(PIDLIST_ABSOLUTE item) : list(item) {}
    ~Item() { CoTaskMemFree(list); }
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;
    LPARAM Parameter() const { return reinterpret_cast<LPARAM>(list); }
    PIDLIST_ABSOLUTE list;
};

PIDLIST_ABSOLUTE MyComputer() {
    PIDLIST_ABSOLUTE item = nullptr;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &item);
    return item;
}

TEST(FolderPickerCallback, AnswersEachEventWithItsMessages) {
    TempDir dir;
    const std::string folder = dir.Path().string();
    const Item folderItem(ILCreateFromPathA(folder.c_str()));
    const Item virtualItem(MyComputer());
    ASSERT_NE(folderItem.list, nullptr);
    ASSERT_NE(virtualItem.list, nullptr);
    const struct {
        const char* what;
        std::string lastFolder;
        UINT event;
        LPARAM parameter;
        std::vector<SentMessage> sent;
        int result;
    } cases[] = {
        {"opens on the last folder",
         "C:\\sets",
         BFFM_INITIALIZED,
         0,
         {{BFFM_SETSELECTIONA, TRUE, 0, "C:\\sets"}},
         0},
        {"opens as it likes without one", "", BFFM_INITIALIZED, 0, {}, 0},
        {"a folder is selected",
         "C:\\sets",
         BFFM_SELCHANGED,
         folderItem.Parameter(),
         {{BFFM_SETSTATUSTEXTA, 0, 0, folder}, {BFFM_ENABLEOK, 0, TRUE, ""}},
         0},
        {"an item without a path is selected",
         "C:\\sets",
         BFFM_SELCHANGED,
         virtualItem.Parameter(),
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
    const RecordingWindow picker;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ui::TheToolState().lastFolder = c.lastFolder;
        EXPECT_EQ(ui::FolderPickerCallback(picker.Handle(), c.event, c.parameter, 0), c.result);
        EXPECT_EQ(RecordingWindow::Take(), c.sent);
    }
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
    // Runs command `id` while the picker opens and the user confirms `folder`.
    void Pick(int id, const std::string& folder) {
        folderPicker.Confirm(folder);
        Click(id);
    }
    // Where the `n`th picker opened: the folder the callback selected.
    std::vector<SentMessage> OpenedOn(std::size_t n) const {
        return folderPicker.Requests().at(n).atOpening;
    }
    static std::vector<SentMessage> Selecting(const std::string& folder) {
        return {{BFFM_SETSELECTIONA, TRUE, 0, folder}};
    }

    Lines expected;  // the report so far
};

TEST_F(FolderCommands, ExtractThenReplaceFromThePickedFolder) {
    const std::string textures = Folder("textures");
    Pick(SORRELWICK_EXTRACT_BUTTON, textures);
    const Lines extracted = Framed("Exporting set1.DAT's textures to " + textures,
                                   {TextureInfoLine("wood.tga", 16, 32, 24, "Export successful")});
    expected.insert(expected.end(), extracted.begin(), extracted.end());
    EXPECT_EQ(Report(), expected);
    EXPECT_EQ(gen::ReadWholeFile(dir.File("textures\\wood.tga")), gen::MakeTga(16, 32, 24));
    EXPECT_EQ(ui::TheToolState().lastFolder, textures);

    const std::vector<std::uint8_t> edited = gen::MakeTga(32, 32, 24, {9, 9, 9, 255});
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("textures\\wood.tga"), edited));
    Pick(SORRELWICK_REPLACE_BUTTON, textures);
    const Lines replaced = Framed(
        "Importing textures from " + textures + " into set1.DAT",
        {TextureInfoLine("wood.tga", 16, 32, 24, "Import successful: size modified (to 32x32)"),
         "Original file renamed to set1.000"});
    expected.insert(expected.end(), replaced.begin(), replaced.end());
    EXPECT_EQ(Report(), expected);
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "set1.000"));
}

// Each picker opens where the last confirmed pick of either command ended;
// a cancelled pick changes and reports nothing.
TEST_F(FolderCommands, BothCommandsShareTheLastFolder) {
    const std::string start = ui::TheToolState().lastFolder;
    const std::string first = Folder("first"), second = Folder("second");
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("second\\wood.tga"), gen::MakeTga(16, 32, 24)));
    Pick(SORRELWICK_EXTRACT_BUTTON, first);
    Pick(SORRELWICK_REPLACE_BUTTON, second);
    const Lines reported = Report();
    for (const int id : {SORRELWICK_EXTRACT_BUTTON, SORRELWICK_REPLACE_BUTTON}) {
        folderPicker.Cancel();
        Click(id);
    }
    EXPECT_EQ(Report(), reported);
    EXPECT_EQ(ui::TheToolState().lastFolder, second);

    ASSERT_EQ(folderPicker.Requests().size(), 4u);
    EXPECT_EQ(OpenedOn(0), Selecting(start));
    EXPECT_EQ(OpenedOn(1), Selecting(first));
    EXPECT_EQ(OpenedOn(2), Selecting(second));
    EXPECT_EQ(OpenedOn(3), Selecting(second));
}

// An item outside the file system gives the empty folder, which each
// operation refuses; its display name never stands in for a path.
TEST_F(FolderCommands, ItemWithoutPathIsTheEmptyFolder) {
    const std::string textures = Folder("textures");
    const struct {
        int id;
        bool pathFails;  // a folder whose path can't be had, else My Computer
        const char* line;
    } cases[] = {
        {SORRELWICK_EXTRACT_BUTTON, false, "Error - Invalid extract path"},
        {SORRELWICK_REPLACE_BUTTON, false, "Error - Invalid import path"},
        {SORRELWICK_EXTRACT_BUTTON, true, "Error - Invalid extract path"},
        {SORRELWICK_REPLACE_BUTTON, true, "Error - Invalid import path"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        if (c.pathFails) {
            folderPicker.FailPaths();
            folderPicker.Confirm(textures);
        } else {
            folderPicker.ConfirmVirtualItem();
        }
        Click(c.id);
        expected.push_back(c.line);
        EXPECT_EQ(Report(), expected);
        EXPECT_EQ(ui::TheToolState().lastFolder, "");
    }
    EXPECT_EQ(OpenedOn(1), std::vector<SentMessage>{}) << "a picker opened on a folder";
    EXPECT_EQ(dir.Entries(), (Lines{"set1.DAT", "textures"}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path() / "textures"));
}

TEST_F(FolderCommands, PickerRequestFieldByField) {
    for (const int id : {SORRELWICK_EXTRACT_BUTTON, SORRELWICK_REPLACE_BUTTON}) Click(id);
    ASSERT_EQ(folderPicker.Requests().size(), 2u);
    for (const PickerRequest& request : folderPicker.Requests()) {
        const BROWSEINFOA& r = request.fields;
        EXPECT_EQ(r.hwndOwner, window);
        EXPECT_EQ(r.pidlRoot, nullptr);
        EXPECT_TRUE(request.displayNameEmpty);
        EXPECT_EQ(r.ulFlags, 0x70u);
        EXPECT_EQ(r.lpfn, &ui::FolderPickerCallback);
        EXPECT_EQ(r.lParam, 0);
        EXPECT_EQ(r.iImage, 0);
    }
    EXPECT_EQ(folderPicker.Requests()[0].title,
              "Select the directory to extract all set1.DAT's textures to");
    EXPECT_EQ(folderPicker.Requests()[1].title, "Select the directory hosting the textures");

    const std::string longName(250, 'n');
    EXPECT_EQ(ui::ExtractPickerTitle(longName),
              ("Select the directory to extract all " + longName).substr(0, 259));
}

}  // namespace
}  // namespace sorrelwick::test
