// Sorrelwick: lists, extracts and replaces the textures of a chess set and
// changes its specularity. One main window, and the gallery beside it;
// command-line arguments are ignored (the wide entry point, so that none is
// ever turned into the code page) and nothing is saved between runs.

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <objbase.h>

#include "ui/gallery_window.h"
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

    // Modeless, so that the loop below gives the gallery its keyboard too.
    const HWND window = CreateDialogParamW(instance, MAKEINTRESOURCEW(SORRELWICK_MAIN_WINDOW),
                                           nullptr, ui::MainWindowProcedure, 0);
    if (window) {
        ShowWindow(window, SW_SHOW);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (ui::TakeGalleryKey(message) || IsDialogMessageW(window, &message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
