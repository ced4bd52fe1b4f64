// The Mods dialog: a folder's mods with their states against the loaded
// set, refreshed after a mod is applied or taken out; the page of them;
// a mod added to the folder without replacing a file there; the folder
// remembered from one opening to the next.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <array>
#include <filesystem>

#include "mod/mod_messages.h"
#include "mod/mod_pack.h"
#include "mod/mods_messages.h"
#include "report/messages.h"
#include "ui/picture_bitmap.h"
#include "mod_test_set.h"
#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Look kBase;
// red.zip repaints both textures; green.zip the felt alone.
const Look kRed{.wood = gen::MakeTga(8, 8, 24, {200, 0, 0, 255}),
                .felt = gen::MakeTga(4, 4, 24, {0, 0, 200, 255})};
const Look kGreen{.felt = gen::MakeTga(4, 4, 24, {0, 200, 0, 255})};

// A row as the user reads it.
struct Row {
    std::string mod, author, state, conflicts;
    bool picture;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << '{' << row.mod << " | " << row.author << " | " << row.state << " | "
               << row.conflicts << " | " << (row.picture ? "picture" : "none") << '}';
}

std::string Cell(HWND list, int row, int column) {
    wchar_t text[512] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return Utf8(text);
}

std::vector<Row> Rows(HWND dialog) {
    const HWND list = GetDlgItem(dialog, SORRELWICK_MODS_LIST);
    std::vector<Row> rows;
    const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        rows.push_back({Cell(list, row, 0), Cell(list, row, 1), Cell(list, row, 2),
                        Cell(list, row, 3), item.iImage >= 0});
    }
    return rows;
}

// Selects the row whose first cell is `mod`; false when none is.
bool Select(HWND dialog, const std::string& mod) {
    const HWND list = GetDlgItem(dialog, SORRELWICK_MODS_LIST);
    for (int row = 0; row < static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); ++row) {
        if (Cell(list, row, 0) != mod) continue;
        LVITEMW item = {};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return true;
    }
    return false;
}

std::string SelectedMod(HWND dialog) {
    const HWND list = GetDlgItem(dialog, SORRELWICK_MODS_LIST);
    const auto row = static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return row < 0 ? std::string() : Cell(list, row, 0);
}

bool IsOn(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// Clicked as a user would, and done once the click returns.
void ClickNow(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// The colour at the middle of a row's picture, as red, green, blue.
std::array<int, 3> PictureMiddle(HWND dialog, int row) {
    const HWND list = GetDlgItem(dialog, SORRELWICK_MODS_LIST);
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    const auto images =
        reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    IMAGEINFO info = {};
    if (!ImageList_GetImageInfo(images, item.iImage, &info)) return {-1, -1, -1};
    BITMAP bitmap = {};
    GetObjectW(info.hbmImage, sizeof bitmap, &bitmap);
    BITMAPINFO header = ui::TopDownHeader(static_cast<std::uint32_t>(bitmap.bmWidth),
                                          static_cast<std::uint32_t>(bitmap.bmHeight));
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bitmap.bmWidth * bitmap.bmHeight) *
                                     4);
    const HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmImage, 0, static_cast<UINT>(bitmap.bmHeight), pixels.data(), &header,
              DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    const int x = (info.rcImage.left + info.rcImage.right) / 2;
    const int y = (info.rcImage.top + info.rcImage.bottom) / 2;
    const std::uint8_t* pixel = &pixels[static_cast<std::size_t>(y * bitmap.bmWidth + x) * 4];
    return {pixel[2], pixel[1], pixel[0]};
}

class ModsDialog : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        std::filesystem::create_directory(Wide(Mods()));
        std::filesystem::create_directory(Wide(dir.File("elsewhere")));
        Pack(kRed, Mods() + "\\red.zip", "Red", "Ann");
        Pack(kGreen, Mods() + "\\green.zip", "Green", "Bo");
        ASSERT_TRUE(gen::WriteWholeFile(Mods() + "\\broken.zip", Bytes{'n', 'o', 't'}));
        ASSERT_TRUE(gen::WriteWholeFile(dir.File("set1.DAT"), SetLooking(kBase)));
        Load(dir.File("set1.DAT"));
    }
    std::string Mods() const { return dir.File("mods"); }

    // A mod that makes a set of kBase look as `look`.
    void Pack(const Look& look, const std::string& path, const char* title, const char* author) {
        ASSERT_TRUE(gen::WriteWholeFile(dir.File("made.DAT"), SetLooking(look)));
        ASSERT_TRUE(gen::WriteWholeFile(dir.File("base.DAT"), SetLooking(kBase)));
        ToolState made;
        SetLoadedSet(made, dir.File("made.DAT"));
        report::MemoryReportLog log;
        ASSERT_TRUE(
            mod::PackMod(made, {dir.File("base.DAT"), path, title, author, {}, false}, &log));
    }

    // Opens the dialog and runs `act` in it once it is up, answering the
    // question before a mod is applied with Apply; the dialog is closed
    // after.
    void InDialog(const std::function<void(HWND)>& act) {
        bool acted = false;
        EXPECT_TRUE(ClickActing(SORRELWICK_APPLY_MOD_BUTTON, [&](HWND shown) {
            if (GetDlgItem(shown, SORRELWICK_MOD_QUESTION_TEXT)) {
                PressButton(shown, IDOK);
                return;
            }
            if (!GetDlgItem(shown, SORRELWICK_MODS_LIST) || acted) return;
            acted = true;
            act(shown);
            PressButton(shown, IDCANCEL);
        }));
        EXPECT_TRUE(acted);
    }
    void RememberModsFolder() { ui::WriteUserSetting(ui::kModsFolderSetting, Mods()); }
};

enum class Act { Open, Apply, TakeOut, ShowPage };

struct Step {
    const char* what;
    Act act;
    const char* mod;  // the row acted on
    Look set;         // what the set holds after
    const char* red;  // the states after
    const char* green;
};

// clang-format off
const Step kSteps[] = {
    {"opened", Act::Open, "", kBase, "Not applied", "Not applied"},
    {"red applied", Act::Apply, "Red", kRed, "Applied",
     "Can't apply: 1 piece differs from the mod's base"},
    {"the page of them", Act::ShowPage, "Red", kRed, "Applied",
     "Can't apply: 1 piece differs from the mod's base"},
    {"red taken out", Act::TakeOut, "Red", kBase, "Not applied", "Not applied"},
    {"green applied", Act::Apply, "Green", {.felt = kGreen.felt}, "Can't apply: 1 piece differs "
     "from the mod's base", "Applied"},
    {"green taken out", Act::TakeOut, "Green", kBase, "Not applied", "Not applied"},
};
// clang-format on

TEST_F(ModsDialog, ListsAFoldersModsAndTheirStatesAgainAfterEachAction) {
    RememberModsFolder();
    saveAnswer = dir.File("mods.html");
    InDialog([&](HWND dialog) {
        EXPECT_EQ(WindowText(GetDlgItem(dialog, SORRELWICK_MODS_FOLDER_TEXT)), Mods());
        // Each row's picture is the first texture its mod changes, at the
        // display's scale.
        int width = 0, height = 0;
        ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendDlgItemMessageW(
                                  dialog, SORRELWICK_MODS_LIST, LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
                              &width, &height);
        EXPECT_EQ(width, MulDiv(32, ScreenDpi(), 96));
        EXPECT_EQ(height, width);
        EXPECT_EQ(PictureMiddle(dialog, 1), (std::array<int, 3>{0, 200, 0}));  // green's felt
        EXPECT_EQ(PictureMiddle(dialog, 2), (std::array<int, 3>{200, 0, 0}));  // red's wood
        for (const Step& step : kSteps) {
            SCOPED_TRACE(step.what);
            Click(SORRELWICK_CLEAR_BUTTON);
            if (step.act != Act::Open) {
                ASSERT_TRUE(Select(dialog, step.mod));
            }
            if (step.act == Act::Apply) ClickNow(dialog, SORRELWICK_MODS_APPLY);
            if (step.act == Act::TakeOut) ClickNow(dialog, SORRELWICK_MODS_TAKE_OUT);
            if (step.act == Act::ShowPage) ClickNow(dialog, SORRELWICK_MODS_SHOW_PAGE);
            EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.DAT")), SetLooking(step.set));
            const std::vector<Row> expected = {
                {"broken.zip", "", mod::msg::NotAModFile(Mods() + "\\broken.zip"), "", false},
                {"Green", "Bo", step.green, "red.zip", true},
                {"Red", "Ann", step.red, "green.zip", true}};
            EXPECT_EQ(Rows(dialog), expected);
            // The row acted on stays selected, and can be acted on again.
            if (step.act != Act::Open) {
                EXPECT_EQ(SelectedMod(dialog), step.mod);
                EXPECT_TRUE(IsOn(dialog, SORRELWICK_MODS_APPLY));
                EXPECT_TRUE(IsOn(dialog, SORRELWICK_MODS_TAKE_OUT));
            }
            const Lines report = Report();
            const std::string path =
                Mods() + (std::string(step.mod) == "Red" ? "\\red.zip" : "\\green.zip");
            const auto has = [&](const std::string& text) {
                return std::any_of(report.begin(), report.end(), [&](const std::string& line) {
                    return line.find(text) != std::string::npos;
                });
            };
            if (step.act == Act::TakeOut) {
                EXPECT_TRUE(has(mod::msg::TakingOut(path, "set1.DAT")));
            }
            if (step.act == Act::ShowPage) {
                EXPECT_TRUE(has(report::msg::PreviewWritten(dir.File("mods.html"))));
                ASSERT_EQ(launches.size(), 1u);
                EXPECT_EQ(launches[0].file, dir.File("mods.html"));
                EXPECT_EQ(launches[0].owner, dialog);
            }
            // The set is listed again after each change.
            if (step.act == Act::Apply || step.act == Act::TakeOut) {
                EXPECT_TRUE(has("Loading set1.DAT"));
            }
        }
        // A mod that can't be read can't be applied or taken out.
        ASSERT_TRUE(Select(dialog, "broken.zip"));
        EXPECT_FALSE(IsOn(dialog, SORRELWICK_MODS_APPLY));
        EXPECT_FALSE(IsOn(dialog, SORRELWICK_MODS_TAKE_OUT));
        EXPECT_TRUE(IsOn(dialog, SORRELWICK_MODS_SHOW_PAGE));
    });
}

struct AddCase {
    const char* what;
    std::optional<std::string> chosen;  // under the test's folder; none: cancelled
    Bytes chosenBytes;                  // written there first, unless empty
    std::string line;                   // the report's; none when empty
    std::vector<std::string> rows;      // the first cells after
};

Bytes FileBytes(const std::string& path) {
    return std::filesystem::exists(Wide(path)) ? gen::ReadWholeFile(path) : Bytes{};
}

TEST_F(ModsDialog, AddingAModCopiesItIntoTheFolderButNeverOverAFileThere) {
    RememberModsFolder();
    const Bytes red = gen::ReadWholeFile(Mods() + "\\red.zip");
    const Bytes green = gen::ReadWholeFile(Mods() + "\\green.zip");
    const AddCase cases[] = {
        {"a new mod",
         "elsewhere\\blue.zip",
         red,
         "Added blue.zip to " + Mods(),
         {"Red", "broken.zip", "Green", "Red"}},
        {"another of a name the folder holds",
         "elsewhere\\green.zip",
         red,
         "Error - " + Mods() + " already holds a file named green.zip: nothing was copied",
         {"Red", "broken.zip", "Green", "Red"}},
        {"one of the folder's own",
         "mods\\red.zip",
         {},
         "Error - " + Mods() + " already holds a file named red.zip: nothing was copied",
         {"Red", "broken.zip", "Green", "Red"}},
        {"cancelled", std::nullopt, {}, "", {"Red", "broken.zip", "Green", "Red"}},
    };
    InDialog([&](HWND dialog) {
        for (const AddCase& c : cases) {
            SCOPED_TRACE(c.what);
            Click(SORRELWICK_CLEAR_BUTTON);
            if (c.chosen && !c.chosenBytes.empty()) {
                ASSERT_TRUE(gen::WriteWholeFile(dir.File(*c.chosen), c.chosenBytes));
            }
            const Bytes before = c.chosen ? FileBytes(dir.File(*c.chosen)) : Bytes{};
            openAnswer = c.chosen ? std::optional(dir.File(*c.chosen)) : std::nullopt;
            ClickNow(dialog, SORRELWICK_MODS_ADD);
            ASSERT_FALSE(openRequests.empty());
            EXPECT_EQ(openRequests.back().initialFolder, Mods());
            std::vector<std::string> firstCells;
            for (const Row& row : Rows(dialog)) firstCells.push_back(row.mod);
            EXPECT_EQ(firstCells, c.rows);
            EXPECT_EQ(Report(), c.line.empty() ? Lines{} : Lines{c.line});
            // Nothing in the folder was replaced.
            EXPECT_EQ(gen::ReadWholeFile(Mods() + "\\red.zip"), red);
            EXPECT_EQ(gen::ReadWholeFile(Mods() + "\\green.zip"), green);
            if (c.chosen) {
                EXPECT_EQ(FileBytes(dir.File(*c.chosen)), before);
            }
        }
        EXPECT_EQ(gen::ReadWholeFile(Mods() + "\\blue.zip"), red);
        EXPECT_EQ(FilesIn(dir.File("mods")).size(), 4u);
    });
}

TEST_F(ModsDialog, OpensOnTheFolderPickedLastElseThatOfTheLastModApplied) {
    struct Opening {
        const char* what;
        std::function<void()> before;
        std::string folder;  // shown when the dialog opens
        std::optional<std::string> picked;
    };
    const std::string elsewhere = dir.File("elsewhere");
    std::filesystem::copy_file(Wide(Mods() + "\\green.zip"), Wide(elsewhere + "\\green.zip"));
    const Opening openings[] = {
        {"at first", [] {}, "", std::nullopt},
        {"after a mod dropped from elsewhere was applied",
         [&] {
             WhileActing([](HWND q) { PressButton(q, IDOK); },
                         [&] { Drop(window, dir, {"elsewhere\\green.zip"}); });
         },
         elsewhere, Mods()},
        {"picked, then another mod applied from elsewhere",
         [&] {
             WhileActing([](HWND q) { PressButton(q, IDOK); },
                         [&] { Drop(window, dir, {"elsewhere\\green.zip"}); });
         },
         Mods(), std::nullopt},
    };
    for (const Opening& o : openings) {
        SCOPED_TRACE(o.what);
        ASSERT_TRUE(gen::WriteWholeFile(dir.File("set1.DAT"), SetLooking(kBase)));
        Load(dir.File("set1.DAT"));
        o.before();
        InDialog([&](HWND dialog) {
            EXPECT_EQ(WindowText(GetDlgItem(dialog, SORRELWICK_MODS_FOLDER_TEXT)), o.folder);
            EXPECT_EQ(Rows(dialog).empty(), o.folder.empty());
            EXPECT_EQ(IsOn(dialog, SORRELWICK_MODS_ADD), !o.folder.empty());
            EXPECT_EQ(WindowText(GetDlgItem(dialog, SORRELWICK_MODS_STATUS)).empty(),
                      !o.folder.empty());
            if (!o.picked) return;
            pickerAnswer = o.picked;
            ClickNow(dialog, SORRELWICK_MODS_FOLDER_BUTTON);
            ASSERT_FALSE(pickerRequests.empty());
            EXPECT_EQ(pickerRequests.back().lastFolder, o.folder);
            EXPECT_EQ(WindowText(GetDlgItem(dialog, SORRELWICK_MODS_FOLDER_TEXT)), *o.picked);
            EXPECT_EQ(Rows(dialog).size(), 3u);
        });
    }
}

}  // namespace
}  // namespace sorrelwick::test
