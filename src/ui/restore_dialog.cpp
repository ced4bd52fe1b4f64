#include "ui/restore_dialog.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "backup/backup_listing.h"
#include "backup/backup_names.h"
#include "backup/restore_backup.h"
#include "report/messages.h"
#include "ui/display_scale.h"
#include "ui/list_box_report_log.h"
#include "ui/main_window.h"
#include "ui/open_dialog.h"
#include "ui/report_font.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"

namespace sorrelwick::ui {
namespace {

// What the dialog shows and what it gives back.
struct RestoreChoice {
    std::vector<std::string> lines;  // one per backup, or the one line saying why none
    std::vector<unsigned> numbers;   // the backup of each line; empty when none
    unsigned chosen = 0;
    OwnedFont font;
};

RestoreChoice* Choice(HWND dialog) {
    return reinterpret_cast<RestoreChoice*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

std::optional<unsigned> SelectedBackup(HWND dialog) {
    const RestoreChoice* choice = Choice(dialog);
    const LRESULT line = SendDlgItemMessageW(dialog, SORRELWICK_BACKUP_LIST, LB_GETCURSEL, 0, 0);
    if (!choice || line < 0 || static_cast<std::size_t>(line) >= choice->numbers.size()) {
        return std::nullopt;
    }
    return choice->numbers[static_cast<std::size_t>(line)];
}

void EnableRestore(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDOK), SelectedBackup(dialog) ? TRUE : FALSE);
}

void FinishWithSelected(HWND dialog) {
    const std::optional<unsigned> number = SelectedBackup(dialog);
    if (!number) return;
    Choice(dialog)->chosen = *number;
    EndDialog(dialog, IDOK);
}

INT_PTR OnInitDialog(HWND dialog, RestoreChoice& choice) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&choice));
    const HWND list = GetDlgItem(dialog, SORRELWICK_BACKUP_LIST);
    choice.font = GiveReportFont(list, WindowDpi(dialog));
    KeepOwnFontOnDpiChange(list);
    ListBoxReportLog log(list);
    log.ForgetWidths();
    for (const std::string& line : choice.lines) log.AppendLine(line);
    // Appending scrolls to the last line; the list opens at its top.
    SendMessageW(list, LB_SETTOPINDEX, 0, 0);
    EnableRestore(dialog);
    return TRUE;
}

// Moved to a monitor of another scale: the list gets its font at that
// scale; the system scales and places the rest.
INT_PTR OnDpiChanged(HWND dialog, WPARAM wParam) {
    RestoreChoice* choice = Choice(dialog);
    const HWND list = GetDlgItem(dialog, SORRELWICK_BACKUP_LIST);
    if (OwnedFont font = GiveReportFont(list, HIWORD(wParam)); font && choice) {
        choice->font = std::move(font);
        ListBoxReportLog(list).MeasureWidths();
    }
    return FALSE;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    const int id = LOWORD(wParam);
    const int notice = HIWORD(wParam);
    if (id == SORRELWICK_BACKUP_LIST && notice == LBN_SELCHANGE) EnableRestore(dialog);
    if (id == SORRELWICK_BACKUP_LIST && notice == LBN_DBLCLK) FinishWithSelected(dialog);
    if (id == IDOK) FinishWithSelected(dialog);
    if (id == IDCANCEL) EndDialog(dialog, IDCANCEL);
    return TRUE;
}

// The set the command works on: the loaded one, or the one the user picks.
std::optional<std::string> SetToRestore(HWND mainWindow) {
    const ToolState& state = TheToolState();
    if (!state.setPath.empty()) return state.setPath;
    const std::optional<std::string> chosen =
        AskForChessSet(mainWindow, state.defaultFolder, OpenChoice::kChessSetOrBackup);
    if (!chosen) return std::nullopt;
    return backup::SetPathOfChosenFile(*chosen);
}

std::string FileName(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

RestoreChoice ChoiceFor(const std::string& setPath) {
    RestoreChoice choice;
    const auto backups = backup::ListBackups(setPath);
    if (!backups) {
        choice.lines.push_back(report::msg::CouldNotSearchFolder(FileName(setPath)));
    } else if (backups->empty()) {
        choice.lines.push_back(report::msg::NoBackups(FileName(setPath)));
    }
    for (const backup::BackupInfo& backup : backups.value_or(std::vector<backup::BackupInfo>{})) {
        choice.lines.push_back(backup::BackupLine(backup));
        choice.numbers.push_back(backup.number);
    }
    return choice;
}

}  // namespace

INT_PTR CALLBACK RestoreDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            // Without a choice to fill (a template shown on its own), it lists nothing.
            static RestoreChoice nothing;
            auto* choice = reinterpret_cast<RestoreChoice*>(lParam);
            return OnInitDialog(dialog, choice ? *choice : nothing);
        }
        case WM_COMMAND:
            return OnCommand(dialog, wParam);
        case WM_DPICHANGED:
            return OnDpiChanged(dialog, wParam);
        default:
            return FALSE;
    }
}

void RestoreFromBackup(HWND mainWindow, int) {
    const std::optional<std::string> setPath = SetToRestore(mainWindow);
    if (!setPath) return;
    RestoreChoice choice = ChoiceFor(*setPath);
    const INT_PTR answer =
        DialogBoxParamW(nullptr, MAKEINTRESOURCEW(SORRELWICK_RESTORE_DIALOG), mainWindow,
                        RestoreDialogProcedure, reinterpret_cast<LPARAM>(&choice));
    if (answer != IDOK) return;
    ToolState& state = TheToolState();
    SetLoadedSet(state, *setPath);
    const HWND list = GetDlgItem(mainWindow, SORRELWICK_REPORT_LIST);
    ListBoxReportLog log(list);
    backup::RestoreBackup(state, choice.chosen, list ? &log : nullptr);
    LoadSet(mainWindow, *setPath);
}

}  // namespace sorrelwick::ui
