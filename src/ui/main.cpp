// Sorrelwick: lists, extracts and replaces the textures of a chess set and
// changes its specularity. One modal window; command-line arguments are
// ignored (the wide entry point, so that none is ever turned into the code
// page) and nothing is saved between runs.

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <objbase.h>

#include "ui/main_window.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"
#include "ui/start_up.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    using namespace sorrelwick;
    ToolState& state = ui::TheToolState();
    state.title = ui::LoadTitle(instance);
    InitCommonControls();
    // The folder picker's new style needs a single-threaded apartment.
    const HRESULT com = CoInitialize(nullptr);
    ui::SetStartFolders(state);

    DialogBoxParamW(instance, MAKEINTRESOURCEW(SORRELWICK_MAIN_WINDOW), nullptr,
                    ui::MainWindowProcedure, 0);

    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
