// Times the Windows program's windows on a large set, for scripts/bench.sh:
//
//   sorrelwick_gallery_bench list <chess set>     the listing into the report
//   sorrelwick_gallery_bench gallery <chess set>  the gallery, once loaded
//
// Prints the seconds the step took, from the click to the windows drawn and
// idle (Wine's start-up not included), and the process's peak memory in KiB.

#include <windows.h>
// After windows.h, which they need.
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "ui/gallery_window.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"
#include "ui/start_up.h"
#include "window_script.h"

namespace {

using namespace sorrelwick;

// Handles every message there is, drawing included, until none is left.
void RunUntilIdle() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const std::wstring step = argv[1];
    const std::string set = test::Utf8(argv[2]);
    ToolState& state = ui::TheToolState();
    state.title = ui::LoadTitle(GetModuleHandleA(nullptr));
    const HWND window = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(SORRELWICK_MAIN_WINDOW),
                                           nullptr, ui::MainWindowProcedure, 0);
    ShowWindow(window, SW_SHOW);
    RunUntilIdle();
    if (step == L"gallery") {
        ui::LoadSet(window, set);
        RunUntilIdle();
    }
    const auto start = std::chrono::steady_clock::now();
    if (step == L"gallery") {
        SendDlgItemMessageW(window, SORRELWICK_PREVIEW_BUTTON, BM_CLICK, 0, 0);
        if (const HWND gallery = ui::GalleryWindow()) UpdateWindow(gallery);
    } else {
        ui::LoadSet(window, set);
        UpdateWindow(window);
    }
    RunUntilIdle();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("%.4f %zu\n", took.count(),
                static_cast<std::size_t>(memory.PeakWorkingSetSize / 1024));
    DestroyWindow(window);
    return 0;
}
