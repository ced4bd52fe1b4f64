// Hosts the real main window and loads one chess set through the open-dialog
// seam, then waits: the screenshot script pictures the window meanwhile.
//
//   sorrelwick_window_driver <chess set> <stop file>
//
// When the chess set does not exist, a sample set is written there first. The
// window closes once the stop file exists, or after a minute.

#include <windows.h>

#include <string>

#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"
#include "ui/main_window.h"
#include "ui/open_dialog.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"
#include "ui/start_up.h"

namespace {

using namespace sorrelwick;

std::string chessSet;
std::string stopFile;
HWND mainWindow = nullptr;
HHOOK activationHook = nullptr;
int ticksLeft = 300;

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteSampleSet(const std::string& path) {
    const gen::PixelFunction checks = [](unsigned x, unsigned y) {
        return ((x / 8 + y / 8) % 2) ? gen::Rgba{230, 216, 176, 255} : gen::Rgba{138, 106, 72, 255};
    };
    gen::ChessSetBuilder set;
    set.Signature();
    const struct {
        const char* name;
        std::uint16_t width, height;
        std::uint8_t depth;
    } textures[] = {{"board.tga", 512, 512, 24},       {"board_border.tga", 512, 64, 24},
                    {"white_king.tga", 128, 128, 24},  {"white_queen.tga", 128, 128, 24},
                    {"white_pawn.tga", 64, 64, 24},    {"black_king.tga", 128, 128, 24},
                    {"black_queen.tga", 128, 128, 24}, {"black_pawn.tga", 64, 64, 24},
                    {"reflection.tga", 256, 256, 32}};
    for (const auto& texture : textures) {
        set.TextureReference(texture.name)
            .TextureImage(gen::MakeTga(texture.width, texture.height, texture.depth, checks));
    }
    return set.WriteTo(path);
}

BOOL APIENTRY ChooseTheChessSet(LPOPENFILENAMEA request) {
    lstrcpynA(request->lpstrFile, chessSet.c_str(), static_cast<int>(request->nMaxFile));
    return TRUE;
}

LRESULT CALLBACK LoadOnFirstActivation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && !mainWindow) {
        mainWindow = reinterpret_cast<HWND>(wParam);
        PostMessageA(GetDlgItem(mainWindow, SORRELWICK_LOAD_BUTTON), BM_CLICK, 0, 0);
    }
    return CallNextHookEx(activationHook, code, wParam, lParam);
}

void CALLBACK CloseWhenAsked(HWND, UINT, UINT_PTR, DWORD) {
    if (mainWindow && (Exists(stopFile) || --ticksLeft == 0)) {
        PostMessageA(mainWindow, WM_COMMAND, IDOK, 0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    chessSet = argv[1];
    stopFile = argv[2];
    if (!Exists(chessSet) && !WriteSampleSet(chessSet)) return 1;

    const HINSTANCE instance = GetModuleHandleA(nullptr);
    ToolState& state = ui::TheToolState();
    state.title = ui::LoadTitle(instance);
    ui::SetStartFolders(state);
    ui::ReplaceOpenDialogForTests(ChooseTheChessSet);
    activationHook =
        SetWindowsHookExA(WH_CBT, LoadOnFirstActivation, nullptr, GetCurrentThreadId());
    SetTimer(nullptr, 0, 200, CloseWhenAsked);
    const auto mainTemplate =
        reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(SORRELWICK_MAIN_WINDOW));
    DialogBoxParamA(instance, mainTemplate, nullptr, ui::MainWindowProcedure, 0);
    UnhookWindowsHookEx(activationHook);
    return 0;
}
