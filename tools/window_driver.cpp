// Walks the real main window through a user's session for the screenshot
// script, stopping at each step to be pictured:
//
//   sorrelwick_window_driver <chess set> <texture folder> <signal folder>
//
// Run as `sorrelwick_window_driver --save-over FILE` it is the image editor
// the walk registers for PNG files: it saves a picture of its own over FILE.
//
// At each step it writes "<n>.ready" into the signal folder, holding the
// caption of the window to picture, and goes on once "<n>.done" exists there,
// or after two minutes.

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include "backup/backup_names.h"
#include "format/tga_fields.h"
#include "generators/chess_set_builder.h"
#include "generators/png_builder.h"
#include "generators/tga_builder.h"
#include "mod/mod_pack.h"
#include "report/report_log.h"
#include "ui/folder_picker.h"
#include "ui/gallery_window.h"
#include "ui/main_window.h"
#include "ui/open_dialog.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"
#include "ui/start_up.h"
#include "ui/user_settings.h"
#include "window_script.h"

namespace {

using namespace sorrelwick;

std::string chessSet, textureFolder, signalFolder;
std::string chosenFile;  // what the next open dialog gives

BOOL APIENTRY ChooseTheChosenFile(LPOPENFILENAMEW request) {
    lstrcpynW(request->lpstrFile, test::Wide(chosenFile).c_str(),
              static_cast<int>(request->nMaxFile));
    return TRUE;
}

PIDLIST_ABSOLUTE WINAPI ChooseTheTextureFolder(LPBROWSEINFOW) {
    return ILCreateFromPathW(test::Wide(textureFolder).c_str());
}

// Names `window` in the next "<n>.ready" and lets the windows paint until
// "<n>.done" exists.
void Picture(HWND window) {
    static int step = 0;
    const std::string signal = signalFolder + "\\" + std::to_string(step++);
    std::ofstream(signal + ".ready") << test::WindowText(window);
    for (int tick = 0; tick < 1200 && !std::filesystem::exists(signal + ".done"); ++tick) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(100);
    }
}

// What a user might do in an image editor: one texture at half its size,
// one with an alpha channel added or removed, and a picture of their own.
void EditTextures() {
    int edited = 0;
    for (const auto& entry : std::filesystem::directory_iterator(textureFolder)) {
        const std::string path = entry.path().string();
        const auto fields = format::ReadTgaFields(gen::ReadWholeFile(path));
        if (!fields || edited == 2) continue;
        const bool first = edited++ == 0;
        const auto width = static_cast<std::uint16_t>(first ? fields->width / 2 : fields->width);
        const std::uint8_t depth = first ? fields->depth : (fields->depth == 32 ? 24 : 32);
        gen::WriteWholeFile(path, gen::MakeTga(width, fields->height, depth, {200, 60, 40, 255}));
    }
    gen::WriteWholeFile(textureFolder + "\\my_logo.tga", gen::MakeTga(64, 64, 24));
}

void FillSpecularity(HWND dialog) {
    const std::pair<int, const char*> fields[] = {
        {SORRELWICK_WHITE_SHININESS, "150"}, {SORRELWICK_WHITE_AMPLITUDE, "120"},
        {SORRELWICK_BLACK_SHININESS, "80"},  {SORRELWICK_BLACK_AMPLITUDE, "100"},
        {SORRELWICK_BOARD_SHININESS, "50"},  {SORRELWICK_BOARD_AMPLITUDE, "25"}};
    for (const auto& [id, text] : fields) SetDlgItemTextA(dialog, id, text);
}

// Its summary shows under the list; Compare writes the whole comparison
// into the report behind the dialog.
void ChooseAndCompareTheFirstBackup(HWND dialog) {
    const HWND backups = GetDlgItem(dialog, SORRELWICK_BACKUP_LIST);
    SendMessageA(backups, LB_SETCURSEL, 0, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(SORRELWICK_BACKUP_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(backups));
    SendDlgItemMessageA(dialog, SORRELWICK_COMPARE_BUTTON, BM_CLICK, 0, 0);
}

// A mod a friend might send: what one of the set's backups that differs
// from the set holds, packed against the set as it is now, so that it
// applies whole; the first such backup, or the last when `last`. Its path
// (`name` beside the texture folder), or empty when no backup differs.
std::string PackAModOfABackup(const std::string& name, const std::string& title, bool last) {
    const std::string mod = textureFolder.substr(0, textureFolder.rfind('\\')) + "\\" + name;
    const std::optional<std::string_view> stem = backup::BackupStem(chessSet);
    for (unsigned step = 0; stem && step < 10; ++step) {
        ToolState backup;
        SetLoadedSet(backup, backup::NumberedPath(*stem, last ? 9 - step : step));
        if (!std::filesystem::exists(test::Wide(backup.setPath))) continue;
        report::MemoryReportLog log;
        mod::PackMod(backup, {chessSet, mod, title, "Tamsin", {}, true}, &log);
        if (std::filesystem::exists(test::Wide(mod))) return mod;
    }
    return {};
}

// Applies `mod` as a user would from the Mods dialog, its folder picked
// before: the question pictured, then the dialog with the mod's new state.
void ApplyTheMod(HWND window, const std::string& mod) {
    ui::WriteUserSetting(ui::kModsFolderSetting, mod.substr(0, mod.rfind('\\')));
    bool applied = false;
    test::WhileActing(
        [window, &applied](HWND shown) {
            if (shown == window) return;
            ShowWindow(shown, SW_SHOW);
            UpdateWindow(shown);
            if (GetDlgItem(shown, SORRELWICK_MOD_QUESTION_TEXT)) {
                Picture(shown);
                test::PressButton(shown, IDOK);
                return;
            }
            if (applied) return;  // active again once the question has gone
            applied = true;
            const HWND mods = GetDlgItem(shown, SORRELWICK_MODS_LIST);
            LVITEMW selected = {};
            selected.stateMask = selected.state = LVIS_SELECTED | LVIS_FOCUSED;
            LVFINDINFOW title = {};
            title.flags = LVFI_STRING;
            title.psz = L"Red board";
            const LRESULT row = SendMessageW(mods, LVM_FINDITEMW, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(&title));
            SendMessageW(mods, LVM_SETITEMSTATE, static_cast<WPARAM>(row < 0 ? 0 : row),
                         reinterpret_cast<LPARAM>(&selected));
            SendDlgItemMessageW(shown, SORRELWICK_MODS_APPLY, BM_CLICK, 0, 0);
            UpdateWindow(shown);
            Picture(shown);
            test::PressButton(shown, IDCANCEL);
        },
        [window] { SendDlgItemMessageA(window, SORRELWICK_APPLY_MOD_BUTTON, BM_CLICK, 0, 0); },
        150000);
}

// `path` dropped on `window` from the shell, at `at` in its client area.
void DropFile(HWND window, const std::string& path, POINT at) {
    std::wstring names = test::Wide(path);
    names.append(2, L'\0');
    const HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    header->pt = at;
    header->fWide = TRUE;
    std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(drop);
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);  // frees it
}

// What the user paints in the editor: larger than the texture, so that it is
// scaled to its size on the way in.
gen::Rgba Painted(unsigned x, unsigned y) {
    const bool ring = ((x - 48) * (x - 48) + (y - 48) * (y - 48)) / 300 % 2 == 0;
    return ring ? gen::Rgba{220, 60, 40, 255}
                : gen::Rgba{static_cast<std::uint8_t>(2 * x), 200, static_cast<std::uint8_t>(2 * y),
                            255};
}

constexpr wchar_t kEditorClass[] = L"SorrelwickDriverPicture";

// This program as the editor of PNG files: for the user (HKCU), and where
// Wine's classes root reads (HKLM), in the screenshots' own prefix; or
// neither again.
void RegisterAsPngEditor(bool registered) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring command = L"\"" + std::wstring(self) + L"\" --save-over \"%1\"";
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        const std::wstring classes = L"Software\\Classes\\";
        if (!registered) {
            RegDeleteTreeW(root, (classes + kEditorClass).c_str());
            RegDeleteTreeW(root, (classes + L".png").c_str());
            continue;
        }
        const auto set = [root](const std::wstring& key, const std::wstring& value) {
            RegSetKeyValueW(root, key.c_str(), nullptr, REG_SZ, value.c_str(),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        };
        set(classes + L".png", kEditorClass);
        set(classes + kEditorClass + L"\\shell\\edit\\command", command);
    }
}

// Lets the windows run until the gallery's status line says `words`, for at
// most ten seconds.
void RunUntilStatus(HWND gallery, const std::string& words) {
    for (int tick = 0; tick < 1000; ++tick) {
        const std::string status = test::WindowText(GetDlgItem(gallery, SORRELWICK_GALLERY_STATUS));
        if (status.find(words) != std::string::npos) {
            return;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    }
}

}  // namespace

// Wide arguments, so that a set in a folder of any language can be pictured.
int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring_view(argv[1]) == L"--save-over") {
        return gen::WriteWholeFile(test::Utf8(argv[2]), gen::MakePng(96, 96, 3, Painted)) ? 0 : 1;
    }
    if (argc != 4) return 2;
    chessSet = chosenFile = test::Utf8(argv[1]);
    textureFolder = test::Utf8(argv[2]);
    signalFolder = test::Utf8(argv[3]);
    if (!std::filesystem::exists(std::filesystem::path(argv[1])) ||
        !std::filesystem::exists(std::filesystem::path(argv[2]))) {
        return 1;
    }

    ToolState& state = ui::TheToolState();
    state.title = ui::LoadTitle(GetModuleHandleA(nullptr));
    const HRESULT com = CoInitialize(nullptr);
    ui::SetStartFolders(state);
    ui::ReplaceOpenDialogForTests(ChooseTheChosenFile);
    ui::ReplaceFolderPickerForTests(ChooseTheTextureFolder, nullptr);
    const HWND window = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(SORRELWICK_MAIN_WINDOW),
                                           nullptr, ui::MainWindowProcedure, 0);
    ShowWindow(window, SW_SHOW);
    const auto click = [window](int id) { SendDlgItemMessageA(window, id, BM_CLICK, 0, 0); };
    // Opens the dialog of `button`, pictures it filled in by `fill`, and
    // closes it with OK.
    const auto pictureDialog = [&](int button, void (*fill)(HWND)) {
        const auto act = [&](HWND dialog) {
            if (dialog == window) return;  // active again once the dialog has gone
            fill(dialog);
            // The modal loop shows its dialog only once it is idle, which it
            // is not while the dialog is being pictured.
            ShowWindow(dialog, SW_SHOW);
            UpdateWindow(dialog);
            Picture(dialog);
            test::PressButton(dialog, IDOK);
        };
        constexpr UINT kLongerThanAPicture = 150000;
        test::WhileActing(
            act, [&] { click(button); }, kLongerThanAPicture);
    };

    click(SORRELWICK_LOAD_BUTTON);
    Picture(window);
    click(SORRELWICK_EXTRACT_BUTTON);
    Picture(window);
    EditTextures();
    click(SORRELWICK_CONVERT_CHECK);
    click(SORRELWICK_REPLACE_BUTTON);
    Picture(window);
    pictureDialog(SORRELWICK_SPECULARITY_BUTTON, FillSpecularity);
    Picture(window);
    RECT outline = {};
    GetWindowRect(window, &outline);
    // At the screen's corner, so that the larger window stays on the screen.
    SetWindowPos(window, nullptr, 0, 0, outline.right - outline.left + 300,
                 outline.bottom - outline.top + 200, SWP_NOZORDER);
    Picture(window);
    pictureDialog(SORRELWICK_READ_ME_BUTTON, [](HWND) {});
    pictureDialog(SORRELWICK_RESTORE_BUTTON, ChooseAndCompareTheFirstBackup);
    Picture(window);
    // The gallery: a picture of the user's own, of a size no texture can
    // take, dropped on the first tile (the status line under the tiles
    // tells why it was refused), then a texture with an alpha channel
    // selected and fitted.
    click(SORRELWICK_PREVIEW_BUTTON);
    if (const HWND gallery = ui::GalleryWindow()) {
        RECT first = {};
        first.left = LVIR_ICON;
        SendDlgItemMessageW(gallery, SORRELWICK_GALLERY_LIST, LVM_GETITEMRECT, 0,
                            reinterpret_cast<LPARAM>(&first));
        POINT at = {(first.left + first.right) / 2, (first.top + first.bottom) / 2};
        MapWindowPoints(GetDlgItem(gallery, SORRELWICK_GALLERY_LIST), gallery, &at, 1);
        const std::string banner = textureFolder + "\\banner.tga";
        gen::WriteWholeFile(banner, gen::MakeTga(100, 64, 24));
        DropFile(gallery, banner, at);
        const HWND tiles = GetDlgItem(gallery, SORRELWICK_GALLERY_LIST);
        LVITEMW selected = {};
        selected.stateMask = selected.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(tiles, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&selected));
        SendDlgItemMessageW(gallery, SORRELWICK_VIEW_FITTED, BM_CLICK, 0, 0);
        Picture(gallery);
        // The same texture opened in the image editor (this program), which
        // saves a picture of its own: the set, the tile and the view follow.
        RegisterAsPngEditor(true);
        SendDlgItemMessageW(gallery, SORRELWICK_EDIT_TEXTURE, BM_CLICK, 0, 0);
        RunUntilStatus(gallery, "Import successful");
        RegisterAsPngEditor(false);
        Picture(gallery);
        DestroyWindow(gallery);
    }
    // A mod applied from the Mods dialog: the question, the dialog, then
    // the report.
    // A second mod beside it, of another backup, shows in the dialog too,
    // with the pieces the two share.
    PackAModOfABackup("first-look.zip", "First look", true);
    if (const std::string mod = PackAModOfABackup("red-board.zip", "Red board", false);
        !mod.empty()) {
        ApplyTheMod(window, mod);
        Picture(window);
    }
    DestroyWindow(window);
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
