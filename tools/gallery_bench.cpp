// Times the Windows program's windows on a large set, for scripts/bench.sh:
//
//   sorrelwick_gallery_bench list <chess set>     the listing into the report
//   sorrelwick_gallery_bench gallery <chess set>  the gallery, once loaded
//   sorrelwick_gallery_bench scroll <chess set>   the open gallery scrolled
//                                                 from its first tile to its
//                                                 last in one go
//   sorrelwick_gallery_bench pages <chess set>    the open gallery paged
//                                                 through to its last tile
//
// Prints the seconds the step took, from the click (or the scroll, or the
// first page's scroll) to the windows drawn and idle with every tile in view
// showing its picture (Wine's start-up not included), and the process's peak
// memory in KiB. The gallery is maximised to be scrolled. A scroll also
// prints the longest the window's thread was busy at once, on the scroll (on
// one page's, paging) or on one of the messages that came until the tiles
// were drawn: how long the window did not answer.

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "ui/gallery_tiles.h"
#include "ui/gallery_window.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"
#include "ui/start_up.h"
#include "window_script.h"

namespace {

using namespace sorrelwick;
using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// The longest the thread took on one message since it was last reset.
Seconds longestMessage{0};

// Handles every message there is, drawing included, until none is left.
void RunUntilIdle() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        const auto start = Clock::now();
        TranslateMessage(&message);
        DispatchMessageW(&message);
        longestMessage = std::max<Seconds>(longestMessage, Clock::now() - start);
    }
}

HWND Tiles() {
    return GetDlgItem(ui::GalleryWindow(), SORRELWICK_GALLERY_LIST);
}

RECT ItemPlace(HWND list, LRESULT item) {
    RECT place = {};
    place.left = LVIR_ICON;
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&place));
    return place;
}

// Whether tile `item` shows its own picture.
bool TileDrawn(HWND list, LRESULT item) {
    LVITEMW asked = {};
    asked.mask = LVIF_IMAGE;
    asked.iItem = static_cast<int>(item);
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&asked));
    return asked.iImage >= 0 && asked.iImage != ui::TileCache::kPlaceholder;
}

// Whether every tile in view shows its picture. The tiles lie in rows in
// their order, so those in view are one run, found by halving.
bool TilesInViewDrawn() {
    const HWND list = Tiles();
    const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    RECT client = {};
    GetClientRect(list, &client);
    LRESULT low = 0, high = count;
    while (low < high) {
        const LRESULT middle = low + (high - low) / 2;
        if (ItemPlace(list, middle).bottom <= client.top) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    for (LRESULT item = low; item < count && ItemPlace(list, item).top < client.bottom; ++item) {
        if (!TileDrawn(list, item)) return false;
    }
    return true;
}

// Handles messages as they come until every tile in view shows its
// picture; false after a minute without.
bool RunUntilTilesDrawn() {
    const auto giveUp = Clock::now() + std::chrono::minutes(1);
    for (;;) {
        RunUntilIdle();
        if (TilesInViewDrawn()) return true;
        if (Clock::now() > giveUp) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
}

// From the first tile to the last, drawn as it comes into view; how long
// the thread was busy on it.
Seconds ScrollToTheEnd() {
    const HWND list = Tiles();
    const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    const auto start = Clock::now();
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(count - 1), FALSE);
    UpdateWindow(list);
    return Clock::now() - start;
}

// Pages down through every tile, each page drawn at once as a dragged
// scroll bar draws it, and the messages that came meanwhile handled; the
// longest the thread was busy on one page's scroll.
Seconds PageToTheEnd() {
    const HWND list = Tiles();
    RECT client = {};
    GetClientRect(list, &client);
    Seconds longest{0};
    for (int before = -1; GetScrollPos(list, SB_VERT) != before;) {
        before = GetScrollPos(list, SB_VERT);
        const auto start = Clock::now();
        SendMessageW(list, LVM_SCROLL, 0, client.bottom - client.top);
        UpdateWindow(list);
        longest = std::max<Seconds>(longest, Clock::now() - start);
        RunUntilIdle();
    }
    return longest;
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
    const bool scrolling = step == L"scroll" || step == L"pages";
    const bool withGallery = step == L"gallery" || scrolling;
    if (withGallery) {
        ui::LoadSet(window, set);
        RunUntilIdle();
    }
    if (scrolling) {
        // Maximised, as to look through many tiles at once.
        SendDlgItemMessageW(window, SORRELWICK_PREVIEW_BUTTON, BM_CLICK, 0, 0);
        ShowWindow(ui::GalleryWindow(), SW_MAXIMIZE);
        if (!RunUntilTilesDrawn()) return 1;
    }
    const auto start = Clock::now();
    Seconds busy{0};  // on one scroll
    longestMessage = Seconds{0};
    if (step == L"gallery") {
        SendDlgItemMessageW(window, SORRELWICK_PREVIEW_BUTTON, BM_CLICK, 0, 0);
        if (const HWND gallery = ui::GalleryWindow()) UpdateWindow(gallery);
    } else if (step == L"scroll") {
        busy = ScrollToTheEnd();
    } else if (step == L"pages") {
        busy = PageToTheEnd();
    } else {
        ui::LoadSet(window, set);
        UpdateWindow(window);
    }
    if (!withGallery) {
        RunUntilIdle();
    } else if (!RunUntilTilesDrawn()) {
        return 1;  // tiles that never showed their pictures
    }
    busy = std::max(busy, longestMessage);
    const Seconds took = Clock::now() - start;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("%.4f %zu", took.count(),
                static_cast<std::size_t>(memory.PeakWorkingSetSize / 1024));
    if (scrolling) std::printf(" %.4f", busy.count());
    std::printf("\n");
    DestroyWindow(window);
    return 0;
}
