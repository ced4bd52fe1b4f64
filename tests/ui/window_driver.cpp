// Hosts the real main window and walks it through a user's session, stopping
// at each step so that the screenshot script can picture it:
//
//   sorrelwick_window_driver <chess set> <texture folder> <signal folder>
//
// The chess set is loaded through the open-dialog seam; its textures are
// extracted into the texture folder and, after a few edits, replaced from
// it, both folders picked through the folder-picker seam; the specularity
// dialog is filled in and saved; the read-me dialog is opened. At each step
// the driver writes "<n>.ready" into the signal folder, holding the caption
// of the window to picture, and goes on once "<n>.done" exists there. The
// window closes after the last step, or after two minutes.

#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "format/tga_fields.h"
#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"
#include "ui/folder_picker.h"
#include "ui/main_window.h"
#include "ui/open_dialog.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"
#include "ui/start_up.h"

namespace {

using namespace sorrelwick;

std::string chessSet, textureFolder, signalFolder;
HWND mainWindow = nullptr;
HHOOK activationHook = nullptr;
constexpr const char* kSpecularity = "Change chess set's specularity";

BOOL APIENTRY ChooseTheChessSet(LPOPENFILENAMEA request) {
    lstrcpynA(request->lpstrFile, chessSet.c_str(), static_cast<int>(request->nMaxFile));
    return TRUE;
}

PIDLIST_ABSOLUTE WINAPI ChooseTheTextureFolder(LPBROWSEINFOA) {
    return ILCreateFromPathA(textureFolder.c_str());
}

void Click(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// What a user might do in an image editor: one texture at half its size,
// one with an alpha channel added or removed, and a picture of their own.
void EditTexturesAndReplace() {
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
    Click(mainWindow, SORRELWICK_REPLACE_BUTTON);
}

void FillSpecularity() {
    const HWND dialog = FindWindowA(nullptr, kSpecularity);
    const struct {
        int id;
        const char* text;
    } fields[] = {{SORRELWICK_WHITE_SHININESS, "150"}, {SORRELWICK_WHITE_AMPLITUDE, "120"},
                  {SORRELWICK_BLACK_SHININESS, "80"},  {SORRELWICK_BLACK_AMPLITUDE, "100"},
                  {SORRELWICK_BOARD_SHININESS, "50"},  {SORRELWICK_BOARD_AMPLITUDE, "25"}};
    for (const auto& field : fields) SetDlgItemTextA(dialog, field.id, field.text);
}

// Each step acts, and once the thread is idle again (the command has run,
// or its dialog is up) gets ready and names the window to picture: the main
// window when `caption` is empty, none when it is null.
struct Step {
    void (*act)();
    void (*getReady)();
    const char* caption;
};

const Step kSteps[] = {
    {[] { Click(mainWindow, SORRELWICK_LOAD_BUTTON); }, nullptr, ""},
    {[] { Click(mainWindow, SORRELWICK_EXTRACT_BUTTON); }, nullptr, ""},
    {EditTexturesAndReplace, nullptr, ""},
    {[] { Click(mainWindow, SORRELWICK_SPECULARITY_BUTTON); }, FillSpecularity, kSpecularity},
    {[] { Click(FindWindowA(nullptr, kSpecularity), IDOK); }, nullptr, ""},
    {[] { Click(mainWindow, SORRELWICK_READ_ME_BUTTON); }, nullptr, "Read me"},
    {[] { Click(FindWindowA(nullptr, "Read me"), IDOK); }, nullptr, nullptr},
};

std::size_t step = 0;
bool acted = false;
int ticksLeft = 1200;

std::string Signal(const char* suffix) {
    return signalFolder + "\\" + std::to_string(step) + suffix;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!mainWindow) return;
    if (--ticksLeft == 0 || step == std::size(kSteps)) {
        PostMessageA(mainWindow, WM_COMMAND, IDOK, 0);
        return;
    }
    const Step& current = kSteps[step];
    if (!acted) {
        current.act();
        acted = true;
    } else if (current.caption && !std::filesystem::exists(Signal(".ready"))) {
        if (current.getReady) current.getReady();
        char caption[MAX_PATH] = {};
        GetWindowTextA(mainWindow, caption, MAX_PATH);
        std::ofstream(Signal(".ready")) << (*current.caption ? current.caption : caption);
    } else if (!current.caption || std::filesystem::exists(Signal(".done"))) {
        ++step;
        acted = false;
    }
}

LRESULT CALLBACK RememberMainWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && !mainWindow) mainWindow = reinterpret_cast<HWND>(wParam);
    return CallNextHookEx(activationHook, code, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    chessSet = argv[1];
    textureFolder = argv[2];
    signalFolder = argv[3];
    if (!std::filesystem::exists(chessSet) || !std::filesystem::exists(textureFolder)) return 1;

    ToolState& state = ui::TheToolState();
    state.title = ui::LoadTitle(GetModuleHandleA(nullptr));
    const HRESULT com = CoInitialize(nullptr);
    ui::SetStartFolders(state);
    ui::ReplaceOpenDialogForTests(ChooseTheChessSet);
    ui::ReplaceFolderPickerForTests(ChooseTheTextureFolder, nullptr);
    activationHook = SetWindowsHookExA(WH_CBT, RememberMainWindow, nullptr, GetCurrentThreadId());
    SetTimer(nullptr, 0, 100, Tick);
    DialogBoxParamA(nullptr, MAKEINTRESOURCEA(SORRELWICK_MAIN_WINDOW), nullptr,
                    ui::MainWindowProcedure, 0);
    UnhookWindowsHookEx(activationHook);
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
