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

#include <fstream>
#include <string>
#include <vector>

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

std::string chessSet;
std::string textureFolder;
std::string signalFolder;
HWND mainWindow = nullptr;
HHOOK activationHook = nullptr;
int ticksLeft = 1200;

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

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

HWND Dialog(const char* caption) {
    return FindWindowA(nullptr, caption);
}

std::vector<std::string> TexturesInFolder() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((textureFolder + "\\*.tga").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// What a user might do in an image editor: one texture at half its size,
// one with an alpha channel added or removed, and a picture of their own.
void EditTextures() {
    const std::vector<std::string> names = TexturesInFolder();
    for (std::size_t i = 0; i < names.size() && i < 2; ++i) {
        const std::string path = textureFolder + "\\" + names[i];
        const std::vector<std::uint8_t> bytes = gen::ReadWholeFile(path);
        const auto fields = format::ReadTgaFields(bytes);
        if (!fields) continue;
        const gen::Rgba colour = {200, 60, 40, 255};
        const auto halfWidth = static_cast<std::uint16_t>(fields->width / 2);
        const std::uint8_t otherDepth = fields->depth == 32 ? 24 : 32;
        gen::WriteWholeFile(
            path, i == 0 ? gen::MakeTga(halfWidth, fields->height, fields->depth, colour)
                         : gen::MakeTga(fields->width, fields->height, otherDepth, colour));
    }
    gen::WriteWholeFile(textureFolder + "\\my_logo.tga", gen::MakeTga(64, 64, 24));
}

void FillSpecularity() {
    const HWND dialog = Dialog("Change chess set's specularity");
    const struct {
        int id;
        const char* text;
    } fields[] = {{SORRELWICK_WHITE_SHININESS, "150"}, {SORRELWICK_WHITE_AMPLITUDE, "120"},
                  {SORRELWICK_BLACK_SHININESS, "80"},  {SORRELWICK_BLACK_AMPLITUDE, "100"},
                  {SORRELWICK_BOARD_SHININESS, "50"},  {SORRELWICK_BOARD_AMPLITUDE, "25"}};
    for (const auto& field : fields) SetDlgItemTextA(dialog, field.id, field.text);
}

std::string MainCaption() {
    char caption[MAX_PATH] = {};
    GetWindowTextA(mainWindow, caption, MAX_PATH);
    return caption;
}

// Each step acts, and once the thread is idle again (the command has run,
// or its dialog is up) gets ready and names the window to picture.
struct Step {
    void (*act)();
    void (*getReady)();
    std::string (*caption)();
};

const Step kSteps[] = {
    {[] { Click(mainWindow, SORRELWICK_LOAD_BUTTON); }, nullptr, MainCaption},
    {[] { Click(mainWindow, SORRELWICK_EXTRACT_BUTTON); }, nullptr, MainCaption},
    {[] {
         EditTextures();
         Click(mainWindow, SORRELWICK_REPLACE_BUTTON);
     },
     nullptr, MainCaption},
    {[] { Click(mainWindow, SORRELWICK_SPECULARITY_BUTTON); }, FillSpecularity,
     [] { return std::string("Change chess set's specularity"); }},
    {[] { Click(Dialog("Change chess set's specularity"), IDOK); }, nullptr, MainCaption},
    {[] { Click(mainWindow, SORRELWICK_READ_ME_BUTTON); }, nullptr,
     [] { return std::string("Read me"); }},
    {[] { Click(Dialog("Read me"), IDOK); }, nullptr, nullptr},
};
constexpr std::size_t kStepCount = sizeof kSteps / sizeof kSteps[0];

std::size_t step = 0;
bool acted = false;

std::string Signal(std::size_t n, const char* suffix) {
    return signalFolder + "\\" + std::to_string(n) + suffix;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!mainWindow) return;
    if (--ticksLeft == 0 || step == kStepCount) {
        PostMessageA(mainWindow, WM_COMMAND, IDOK, 0);
        return;
    }
    const Step& current = kSteps[step];
    if (!acted) {
        current.act();
        acted = true;
    } else if (!current.caption) {
        ++step;
        acted = false;
    } else if (!Exists(Signal(step, ".ready"))) {
        if (current.getReady) current.getReady();
        std::ofstream(Signal(step, ".ready")) << current.caption();
    } else if (Exists(Signal(step, ".done"))) {
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
    if (!Exists(chessSet) || !Exists(textureFolder)) return 1;

    const HINSTANCE instance = GetModuleHandleA(nullptr);
    ToolState& state = ui::TheToolState();
    state.title = ui::LoadTitle(instance);
    const HRESULT com = CoInitialize(nullptr);
    ui::SetStartFolders(state);
    ui::ReplaceOpenDialogForTests(ChooseTheChessSet);
    ui::ReplaceFolderPickerForTests(ChooseTheTextureFolder, nullptr);
    activationHook = SetWindowsHookExA(WH_CBT, RememberMainWindow, nullptr, GetCurrentThreadId());
    SetTimer(nullptr, 0, 100, Tick);
    const auto mainTemplate =
        reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(SORRELWICK_MAIN_WINDOW));
    DialogBoxParamA(instance, mainTemplate, nullptr, ui::MainWindowProcedure, 0);
    UnhookWindowsHookEx(activationHook);
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
