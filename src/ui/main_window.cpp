#include "ui/main_window.h"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "operations/listing.h"
#include "platform/win32/wide_text.h"
#include "report/utf8_text.h"
#include "ui/anchored_layout.h"
#include "ui/display_scale.h"
#include "ui/dropped_files.h"
#include "ui/folder_commands.h"
#include "ui/gallery_window.h"
#include "ui/list_box_report_log.h"
#include "ui/mod_commands.h"
#include "ui/mods_dialog.h"
#include "ui/open_dialog.h"
#include "ui/read_me_dialog.h"
#include "ui/report_copy.h"
#include "ui/report_font.h"
#include "ui/resource_ids.h"
#include "ui/restore_dialog.h"
#include "ui/shared_tool_state.h"
#include "ui/specularity_dialog.h"

namespace sorrelwick::ui {
namespace {

constexpr std::size_t kCaptionCapacity = MAX_PATH;

// The buttons that need a loaded chess set, in the order they are switched.
constexpr int kSetCommands[] = {SORRELWICK_EXTRACT_BUTTON, SORRELWICK_REPLACE_BUTTON,
                                SORRELWICK_SPECULARITY_BUTTON, SORRELWICK_PREVIEW_BUTTON,
                                SORRELWICK_APPLY_MOD_BUTTON};

// How the controls follow the window as it grows: the report takes all the
// room, the button column keeps to the right edge, and its last two buttons
// also to the bottom edge.
constexpr Anchor kLayout[] = {
    {SORRELWICK_REPORT_LIST, kFollowsRight | kFollowsBottom},
    {SORRELWICK_LOAD_BUTTON, kMovesRight},
    {SORRELWICK_EXTRACT_BUTTON, kMovesRight},
    {SORRELWICK_REPLACE_BUTTON, kMovesRight},
    {SORRELWICK_CONVERT_CHECK, kMovesRight},
    {SORRELWICK_SPECULARITY_BUTTON, kMovesRight},
    {SORRELWICK_CLEAR_BUTTON, kMovesRight},
    {SORRELWICK_PREVIEW_BUTTON, kMovesRight},
    {SORRELWICK_RESTORE_BUTTON, kMovesRight},
    {SORRELWICK_APPLY_MOD_BUTTON, kMovesRight},
    {SORRELWICK_READ_ME_BUTTON, kMovesRight | kMovesDown},
    {IDOK, kMovesRight | kMovesDown},
};

// What the window keeps for its whole life, in its own user data.
struct WindowState {
    OwnedFont reportFont;  // null when it could not be created
    AnchoredLayout layout;
};

HWND ReportList(HWND window) {
    return GetDlgItem(window, SORRELWICK_REPORT_LIST);
}

WindowState* State(HWND window) {
    return reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, DWLP_USER));
}

void EnableSetCommands(HWND window, bool enable) {
    for (const int id : kSetCommands) {
        if (const HWND button = GetDlgItem(window, id)) EnableWindow(button, enable ? TRUE : FALSE);
    }
}

void ShowCaption(HWND window, const std::string& caption) {
    SetWindowTextW(window, platform::WideForDisplay(caption).c_str());
}

// Commands --------------------------------------------------------------

void LoadChessSet(HWND window, int) {
    ToolState& state = TheToolState();
    const std::optional<std::string> path = AskForChessSet(window, state.defaultFolder);
    if (path) LoadSet(window, *path);
}

void ClearView(HWND window, int) {
    if (const HWND list = ReportList(window)) {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        ListBoxReportLog(list).ForgetWidths();
    }
}

void CopyReportText(HWND window, int) {
    if (const HWND list = ReportList(window)) CopyReport(window, list);
}

// Asks a window run without a modal loop (as the program runs it, so that
// the gallery gets its keys) to go once its command is over.
constexpr UINT kDestroyWhenEnded = WM_APP + 1;

// Exit (IDOK) and cancel (IDCANCEL: Escape, the close box) end the window
// with their id as its result, and with it the program: a modal run ends,
// a modeless window is destroyed.
void EndWindow(HWND window, int id) {
    EndDialog(window, id);
    PostMessageW(window, kDestroyWhenEnded, 0, 0);
}

void ChangeSpecularity(HWND window, int id) {
    OpenSpecularityDialog(window, id);
    RefreshGallery();  // the set may have been rewritten
}

void FollowConvertBox(HWND, int) {
    FollowConvertChoice();
}

using CommandHandler = void (*)(HWND window, int id);
struct Command {
    int id;
    CommandHandler run;
};

constexpr Command kCommands[] = {
    {SORRELWICK_LOAD_BUTTON, LoadChessSet},
    {SORRELWICK_EXTRACT_BUTTON, RunFolderCommand},
    {SORRELWICK_REPLACE_BUTTON, RunFolderCommand},
    {SORRELWICK_SPECULARITY_BUTTON, ChangeSpecularity},
    {SORRELWICK_CONVERT_CHECK, FollowConvertBox},
    {SORRELWICK_CLEAR_BUTTON, ClearView},
    {SORRELWICK_PREVIEW_BUTTON, OpenGallery},
    {SORRELWICK_RESTORE_BUTTON, RestoreFromBackup},
    {SORRELWICK_APPLY_MOD_BUTTON, OpenModsDialog},
    {SORRELWICK_READ_ME_BUTTON, OpenReadMe},
    {SORRELWICK_COPY_REPORT, CopyReportText},
    {IDOK, EndWindow},
    {IDCANCEL, EndWindow},
};

// Messages ----------------------------------------------------------------

// The dialog's units already follow the display's scale; the report's font
// is scaled to it.
INT_PTR OnInitDialog(HWND window) {
    EnableSetCommands(window, false);
    const HWND list = ReportList(window);
    const UINT dpi = WindowDpi(window);
    OwnedFont font = GiveReportFont(list, dpi);
    // No line yet, so nothing to scroll sideways to.
    if (list) ListBoxReportLog(list).ForgetWidths();
    auto state =
        std::make_unique<WindowState>(std::move(font), AnchoredLayout(window, kLayout, dpi));
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(state.release()));
    TakeOverDpiChanges(window);
    KeepOwnFontOnDpiChange(list);
    CopyOnControlC(list, SORRELWICK_COPY_REPORT);
    AcceptDroppedFiles(window);
    ShowCaption(window, TheToolState().title);
    return TRUE;  // focus goes to the first tab stop, the Load button
}

// Sizes arrive from the window's creation on, before it is set up.
INT_PTR OnSize(HWND window, WPARAM kind) {
    const WindowState* state = State(window);
    if (!state || kind == SIZE_MINIMIZED) return FALSE;
    state->layout.Fit(window);
    ListBoxReportLog(ReportList(window)).KeepSidewaysPositionValid();
    return TRUE;
}

INT_PTR OnGetMinMaxInfo(HWND window, LPARAM limits) {
    const WindowState* state = State(window);
    if (!state) return FALSE;
    state->layout.LimitTracking(window, *reinterpret_cast<MINMAXINFO*>(limits));
    return TRUE;
}

// Moved to a display of another scale: the window takes the place the system
// suggests, the controls their places at the new scale, the report a font
// of it and the sideways range its lines need in that font.
INT_PTR OnDpiChanged(HWND window, WPARAM wParam, LPARAM suggested) {
    WindowState* state = State(window);
    if (!state) return FALSE;
    const UINT dpi = HIWORD(wParam);
    state->layout.Rescale(dpi);
    const HWND list = ReportList(window);
    if (OwnedFont font = GiveReportFont(list, dpi)) state->reportFont = std::move(font);
    ListBoxReportLog(list).MeasureWidths();
    const RECT& place = *reinterpret_cast<const RECT*>(suggested);
    SetWindowPos(window, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    state->layout.Fit(window);  // also when the size stayed
    ListBoxReportLog(list).KeepSidewaysPositionValid();
    return TRUE;
}

INT_PTR OnDropFiles(HWND window, WPARAM wParam) {
    const auto drop = reinterpret_cast<HDROP>(wParam);
    const std::vector<DroppedItem> items = DroppedItems(drop);
    DragFinish(drop);
    OpenDroppedItems(window, items);
    return TRUE;
}

INT_PTR OnContextMenu(HWND window, WPARAM wParam, LPARAM at) {
    const HWND list = ReportList(window);
    if (!list || reinterpret_cast<HWND>(wParam) != list) return FALSE;
    ShowReportMenu(window, list, at, SORRELWICK_COPY_REPORT);
    return TRUE;
}

// Commands are told apart by control id alone; notifications are not looked at.
INT_PTR OnCommand(HWND window, WPARAM wParam) {
    const int id = static_cast<int>(wParam & 0xFFFF);
    for (const Command& command : kCommands) {
        if (command.id != id) continue;
        command.run(window, id);
        return TRUE;
    }
    return FALSE;
}

INT_PTR OnDestroy(HWND window) {
    CloseGallery();
    const std::unique_ptr<WindowState> state(State(window));  // releases the font
    SetWindowLongPtrW(window, DWLP_USER, 0);
    PostQuitMessage(0);
    return TRUE;
}

}  // namespace

void LoadSet(HWND window, const std::string& path) {
    ToolState& state = TheToolState();
    SetLoadedSet(state, path);
    const HWND list = ReportList(window);
    ListBoxReportLog log(list);
    const bool listed = operations::ListTextures(state, list ? &log : nullptr);
    if (listed) {
        ShowCaption(window, LoadedCaption(state.title, state.setName));
    } else {
        ClearLoadedSet(state);
        ShowCaption(window, state.title);
    }
    EnableSetCommands(window, listed);
    RefreshGallery();
}

void OpenDroppedItems(HWND window, const std::vector<DroppedItem>& items) {
    DropChoice choice = ChooseFromDrop(items);
    const std::optional<DroppedItem> mod = DroppedMod(items);
    if (mod) std::erase(choice.others, mod->name);
    if (!choice.others.empty()) {
        ListBoxReportLog(ReportList(window)).AppendLine(NotLoadedLine(choice.others));
    }
    if (choice.set) LoadSet(window, *choice.set);
    if (mod) ApplyModFile(window, mod->path);
}

std::string LoadedCaption(std::string_view title, std::string_view setName) {
    std::string caption;
    caption.append(title).append(" - ").append(setName);
    return std::string(report::FirstCharacters(caption, kCaptionCapacity - 1));
}

INT_PTR CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(window);
        case WM_COMMAND:
            return OnCommand(window, wParam);
        case WM_SIZE:
            return OnSize(window, wParam);
        case WM_GETMINMAXINFO:
            return OnGetMinMaxInfo(window, lParam);
        case WM_DPICHANGED:
            return OnDpiChanged(window, wParam, lParam);
        case WM_DROPFILES:
            return OnDropFiles(window, wParam);
        case WM_CONTEXTMENU:
            return OnContextMenu(window, wParam, lParam);
        case WM_DESTROY:
            return OnDestroy(window);
        case kDestroyWhenEnded:
            DestroyWindow(window);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace sorrelwick::ui
