#include "ui/mods_dialog.h"

// After windows.h, which it needs.
#include <commctrl.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mod/mod_unapply.h"
#include "mod/mods_messages.h"
#include "mod/mods_overview.h"
#include "mod/mods_report.h"
#include "operations/texture_picture.h"
#include "platform/file_system.h"
#include "platform/win32/wide_text.h"
#include "report/messages.h"
#include "ui/browser_launch.h"
#include "ui/display_scale.h"
#include "ui/folder_picker.h"
#include "ui/list_box_report_log.h"
#include "ui/main_window.h"
#include "ui/mod_commands.h"
#include "ui/open_dialog.h"
#include "ui/page_save_dialog.h"
#include "ui/picture_bitmap.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"
#include "ui/user_settings.h"

namespace sorrelwick::ui {
namespace {

// A row's picture, and the squares of the checkerboard behind its
// transparent parts, at 96 DPI.
constexpr int kPictureSide = 32;
constexpr int kCheckerSquare = 4;

// The list's columns, their widths in dialog units.
struct Column {
    const wchar_t* heading;
    int width;
};
constexpr Column kColumns[] = {
    {L"Mod", 100}, {L"Author", 55}, {L"State", 125}, {L"Conflicts with", 82}};

struct ImageListRelease {
    void operator()(HIMAGELIST images) const { ImageList_Destroy(images); }
};
using OwnedImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListRelease>;

// What the dialog keeps while it is open.
struct ModsDialog {
    HWND mainWindow = nullptr;
    std::string folder;
    std::vector<mod::ModOverview> mods;  // a row each, in the list's order
    OwnedImageList pictures;
    std::map<std::string, int> pictureOf;  // a mod's path to its picture in `pictures`
    UINT dpi = kBaseDpi;
};

ModsDialog* Dialog(HWND dialog) {
    return reinterpret_cast<ModsDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

HWND List(HWND dialog) {
    return GetDlgItem(dialog, SORRELWICK_MODS_LIST);
}

HWND MainReport(const ModsDialog& mods) {
    return GetDlgItem(mods.mainWindow, SORRELWICK_REPORT_LIST);
}

// The selected row's mod; null when none is selected.
const mod::ModOverview* SelectedMod(HWND dialog) {
    const ModsDialog* mods = Dialog(dialog);
    const auto row = static_cast<int>(
        SendMessageW(List(dialog), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (!mods || row < 0 || static_cast<std::size_t>(row) >= mods->mods.size()) return nullptr;
    return &mods->mods[static_cast<std::size_t>(row)];
}

// Apply and Take out need a mod that could be read; the page needs a mod.
void FollowSelection(HWND dialog) {
    const mod::ModOverview* selected = SelectedMod(dialog);
    const bool readable = selected && selected->readable;
    const ModsDialog* mods = Dialog(dialog);
    EnableWindow(GetDlgItem(dialog, SORRELWICK_MODS_APPLY), readable);
    EnableWindow(GetDlgItem(dialog, SORRELWICK_MODS_TAKE_OUT), readable);
    EnableWindow(GetDlgItem(dialog, SORRELWICK_MODS_SHOW_PAGE), mods && !mods->mods.empty());
    EnableWindow(GetDlgItem(dialog, SORRELWICK_MODS_ADD), mods && !mods->folder.empty());
}

// A new image list at the dialog's scale, every picture to be drawn again.
void StartPictures(ModsDialog& mods, HWND list) {
    const int side = AtDpi(kPictureSide, mods.dpi);
    OwnedImageList pictures(ImageList_Create(side, side, ILC_COLOR32, 8, 8));
    // The list shares the pictures (LVS_SHAREIMAGELISTS): the old ones go
    // once it holds the new.
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(pictures.get()));
    mods.pictures = std::move(pictures);
    mods.pictureOf.clear();
}

// The picture of the mod's first changed texture, drawn once per mod;
// I_IMAGENONE when it has none or it can't be drawn.
int PictureOf(ModsDialog& mods, const mod::ModOverview& overview) {
    if (const auto known = mods.pictureOf.find(overview.path); known != mods.pictureOf.end()) {
        return known->second;
    }
    int index = I_IMAGENONE;
    if (overview.readable && mods.pictures) {
        if (const std::optional<mod::ByteVector> image = mod::FirstChangedImage(overview.path)) {
            try {
                const operations::TexturePicture picture = operations::MakeTileTexturePicture(
                    *image, static_cast<std::uint32_t>(AtDpi(kPictureSide, mods.dpi)),
                    static_cast<std::uint32_t>(AtDpi(kCheckerSquare, mods.dpi)));
                if (const OwnedBitmap bitmap = PictureBitmap(picture)) {
                    index = ImageList_Add(mods.pictures.get(), bitmap.get(), nullptr);
                }
            } catch (const std::bad_alloc&) {
                index = I_IMAGENONE;
            }
        }
    }
    mods.pictureOf[overview.path] = index < 0 ? I_IMAGENONE : index;
    return mods.pictureOf[overview.path];
}

void SetCell(HWND list, int row, int column, const std::string& text) {
    std::wstring wide = platform::WideForDisplay(text);
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void AddRow(HWND list, int row, const mod::ModOverview& overview, int picture) {
    std::wstring name =
        platform::WideForDisplay(overview.title.empty() ? overview.name : overview.title);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row;
    item.pszText = name.data();
    item.iImage = picture;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    SetCell(list, row, 1, overview.author);
    SetCell(list, row, 2, overview.state);
    SetCell(list, row, 3, mod::msg::NamesJoined(overview.sharesPiecesWith));
}

void SelectRow(HWND list, int row) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

// Lists the folder's mods against the set as it is now, the mod at
// `select` (else the one selected before, else the first) selected. The
// line under the list says why none are listed.
void ListMods(HWND dialog, std::string select = {}) {
    ModsDialog* mods = Dialog(dialog);
    if (!mods) return;
    if (select.empty()) {
        if (const mod::ModOverview* selected = SelectedMod(dialog)) select = selected->path;
    }
    const HWND list = List(dialog);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    mods->mods.clear();
    SetDlgItemTextW(dialog, SORRELWICK_MODS_FOLDER_TEXT,
                    platform::WideForDisplay(mods->folder).c_str());
    report::MemoryReportLog why;
    if (mods->folder.empty()) {
        why.AppendLine("Pick the folder that holds your mods with Folder...");
    } else if (auto overview = mod::OverviewOfMods(TheToolState(), mods->folder, why)) {
        mods->mods = std::move(*overview);
    }
    SetDlgItemTextW(
        dialog, SORRELWICK_MODS_STATUS,
        platform::WideForDisplay(why.Lines().empty() ? "" : why.Lines().front()).c_str());
    int selectedRow = mods->mods.empty() ? -1 : 0;
    for (std::size_t i = 0; i < mods->mods.size(); ++i) {
        const int row = static_cast<int>(i);
        AddRow(list, row, mods->mods[i], PictureOf(*mods, mods->mods[i]));
        if (mods->mods[i].path == select) selectedRow = row;
    }
    if (selectedRow >= 0) SelectRow(list, selectedRow);
    FollowSelection(dialog);
}

void SetColumns(HWND dialog) {
    const HWND list = List(dialog);
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        RECT width = {0, 0, kColumns[i].width, 0};
        MapDialogRect(dialog, &width);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(kColumns[i].heading);
        column.cx = width.right;
        column.iSubItem = i;
        if (SendMessageW(list, LVM_SETCOLUMNW, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&column)) == FALSE) {
            SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&column));
        }
    }
}

// Actions -------------------------------------------------------------------

void ChooseFolder(HWND dialog, ModsDialog& mods) {
    // The picker opens where the tool's last folder is: here, the mods'.
    ToolState& state = TheToolState();
    const std::string lastFolder = state.lastFolder;
    if (!mods.folder.empty()) state.lastFolder = mods.folder;
    const std::optional<std::string> folder =
        AskForFolder(dialog, "Choose the folder of your mods");
    state.lastFolder = lastFolder;
    if (!folder || folder->empty()) return;
    mods.folder = *folder;
    WriteUserSetting(kModsFolderSetting, mods.folder);
    ListMods(dialog);
}

void ApplySelected(HWND dialog, ModsDialog& mods) {
    const mod::ModOverview* selected = SelectedMod(dialog);
    if (!selected || !selected->readable) return;
    const std::string path = selected->path;
    ApplyModFile(mods.mainWindow, path, dialog);
    ListMods(dialog, path);
}

void TakeOutSelected(HWND dialog, ModsDialog& mods) {
    const mod::ModOverview* selected = SelectedMod(dialog);
    if (!selected || !selected->readable) return;
    const std::string path = selected->path;
    const ToolState& state = TheToolState();
    if (state.setPath.empty()) return;
    const HWND report = MainReport(mods);
    ListBoxReportLog log(report);
    mod::UnapplyMod(state, {path, false}, report ? &log : nullptr);
    LoadSet(mods.mainWindow, state.setPath);
    ListMods(dialog, path);
}

// The page of every mod of the folder, shown in the browser once written.
void ShowPage(HWND dialog, ModsDialog& mods) {
    if (mods.mods.empty()) return;
    const std::optional<std::string> page =
        AskWhereToSavePage(dialog, platform::JoinPath(mods.folder, "mods.html"));
    if (!page) return;
    report::MemoryReportLog lines;
    // The save dialog has asked before an existing file was chosen.
    mod::ReportMods(TheToolState(), {{mods.folder}, *page, true}, &lines);
    const HWND report = MainReport(mods);
    ListBoxReportLog log(report);
    bool written = false;
    for (const std::string& line : lines.Lines()) {
        if (report) log.AppendLine(line);
        written = written || line == report::msg::PreviewWritten(*page);
    }
    if (report) log.Flush();
    if (written) ShowInBrowser(dialog, *page);
}

// Copies a .zip the user picks into the folder, never over a file there.
void AddMod(HWND dialog, ModsDialog& mods) {
    if (mods.folder.empty()) return;
    const std::optional<std::string> chosen =
        AskForChessSet(dialog, mods.folder, OpenChoice::kModFile);
    if (!chosen) return;
    const std::string name(platform::FileNamePart(*chosen));
    const std::string target = platform::JoinPath(mods.folder, name);
    const std::optional<std::wstring> from = platform::WidePath(*chosen);
    const std::optional<std::wstring> to = platform::WidePath(target);
    std::string line;
    if (!from || !to) {
        line = report::msg::CouldNotWrite(target);
    } else if (CopyFileW(from->c_str(), to->c_str(), TRUE)) {
        line = "Added " + name + " to " + mods.folder;
    } else if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS) {
        line = "Error - " + mods.folder + " already holds a file named " + name +
               ": nothing was copied";
    } else {
        line = report::msg::CouldNotWrite(target);
    }
    if (const HWND report = MainReport(mods)) {
        ListBoxReportLog log(report);
        log.AppendLine(line);
        log.Flush();
    }
    ListMods(dialog, target);
}

// The folder picked last, else that of the last mod applied, else none.
std::string StartFolder() {
    if (auto folder = ReadUserSetting(kModsFolderSetting); folder && !folder->empty()) {
        return *folder;
    }
    return ReadUserSetting(kLastModFolderSetting).value_or(std::string());
}

// Messages --------------------------------------------------------------------

INT_PTR OnInitDialog(HWND dialog, HWND mainWindow) {
    auto mods = std::make_unique<ModsDialog>();
    mods->mainWindow = mainWindow;
    mods->dpi = WindowDpi(dialog);
    if (mainWindow) mods->folder = StartFolder();
    const HWND list = List(dialog);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SetColumns(dialog);
    StartPictures(*mods, list);
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(mods.release()));
    if (mainWindow) {
        ListMods(dialog);
    } else {
        FollowSelection(dialog);
    }
    return TRUE;
}

// Moved to a monitor of another scale: the pictures and columns follow;
// the system scales and places the rest.
INT_PTR OnDpiChanged(HWND dialog, WPARAM wParam) {
    ModsDialog* mods = Dialog(dialog);
    if (!mods) return FALSE;
    mods->dpi = HIWORD(wParam);
    StartPictures(*mods, List(dialog));
    SetColumns(dialog);
    if (mods->mainWindow) ListMods(dialog);
    return FALSE;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    ModsDialog* mods = Dialog(dialog);
    const int id = LOWORD(wParam);
    if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    if (!mods || !mods->mainWindow) return FALSE;
    switch (id) {
        case SORRELWICK_MODS_FOLDER_BUTTON:
            ChooseFolder(dialog, *mods);
            return TRUE;
        case IDOK:  // Enter: the default button
        case SORRELWICK_MODS_APPLY:
            ApplySelected(dialog, *mods);
            return TRUE;
        case SORRELWICK_MODS_TAKE_OUT:
            TakeOutSelected(dialog, *mods);
            return TRUE;
        case SORRELWICK_MODS_SHOW_PAGE:
            ShowPage(dialog, *mods);
            return TRUE;
        case SORRELWICK_MODS_ADD:
            AddMod(dialog, *mods);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR OnNotify(HWND dialog, LPARAM lParam) {
    const auto* notice = reinterpret_cast<const NMHDR*>(lParam);
    if (notice->idFrom == SORRELWICK_MODS_LIST && notice->code == LVN_ITEMCHANGED) {
        FollowSelection(dialog);
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK ModsDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(dialog, reinterpret_cast<HWND>(lParam));
        case WM_COMMAND:
            return OnCommand(dialog, wParam);
        case WM_NOTIFY:
            return OnNotify(dialog, lParam);
        case WM_DPICHANGED:
            return OnDpiChanged(dialog, wParam);
        case WM_NCDESTROY:
            delete Dialog(dialog);
            SetWindowLongPtrW(dialog, DWLP_USER, 0);
            return FALSE;
        default:
            return FALSE;
    }
}

void OpenModsDialog(HWND mainWindow, int) {
    if (TheToolState().setPath.empty()) return;
    const INITCOMMONCONTROLSEX classes = {sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    DialogBoxParamW(nullptr, MAKEINTRESOURCEW(SORRELWICK_MODS_DIALOG), mainWindow,
                    ModsDialogProcedure, reinterpret_cast<LPARAM>(mainWindow));
}

}  // namespace sorrelwick::ui
