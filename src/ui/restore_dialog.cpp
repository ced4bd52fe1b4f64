#include "ui/restore_dialog.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "backup/backup_listing.h"
#include "backup/backup_names.h"
#include "backup/restore_backup.h"
#include "backup/set_location.h"
#include "comparison/comparison_report.h"
#include "platform/win32/wide_text.h"
#include "report/comparison_messages.h"
#include "report/messages.h"
#include "ui/display_scale.h"
#include "ui/list_box_report_log.h"
#include "ui/main_window.h"
#include "ui/open_dialog.h"
#include "ui/mod_commands.h"
#include "ui/report_font.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"

namespace sorrelwick::ui {
namespace {

// What the dialog shows and what it gives back.
struct RestoreChoice {
    comparison::ComparedSet set;     // the current set
    HWND report = nullptr;           // the main window's report list
    std::vector<std::string> lines;  // one per backup, or the one line saying why none
    std::vector<unsigned> numbers;   // the backup of each line; empty when none
    std::vector<comparison::ComparedSet> backups;  // the backup of each line
    // Each backup's summary once it was shown: comparing reads both files
    // whole, which is too slow to repeat on every arrow key.
    std::vector<std::optional<std::string>> summaries;
    unsigned chosen = 0;
    OwnedFont font;
};

RestoreChoice* Choice(HWND dialog) {
    return reinterpret_cast<RestoreChoice*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// The selected line, when it stands for a backup.
std::optional<std::size_t> SelectedLine(HWND dialog) {
    const RestoreChoice* choice = Choice(dialog);
    const LRESULT line = SendDlgItemMessageW(dialog, SORRELWICK_BACKUP_LIST, LB_GETCURSEL, 0, 0);
    if (!choice || line < 0 || static_cast<std::size_t>(line) >= choice->numbers.size()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(line);
}

std::optional<unsigned> SelectedBackup(HWND dialog) {
    const std::optional<std::size_t> line = SelectedLine(dialog);
    if (!line) return std::nullopt;
    return Choice(dialog)->numbers[*line];
}

// "3 textures and 12 materials differ from the current set", "Same as the
// current set", or the first line saying why the two can't be compared.
std::string Summary(const comparison::ComparedSet& set, const comparison::ComparedSet& backup) {
    report::MemoryReportLog trouble;
    const auto comparison = comparison::CompareSets(set, backup, trouble);
    if (!comparison) return trouble.Lines().empty() ? std::string() : trouble.Lines().front();
    if (comparison->identical) return std::string(report::msg::kSameAsCurrentSet);
    return report::msg::DifferFromCurrentSet(comparison::DifferenceSummary(*comparison));
}

void ShowSummary(HWND dialog) {
    const std::optional<std::size_t> line = SelectedLine(dialog);
    std::string text;
    if (line) {
        RestoreChoice& choice = *Choice(dialog);
        std::optional<std::string>& summary = choice.summaries[*line];
        if (!summary) summary = Summary(choice.set, choice.backups[*line]);
        text = *summary;
    }
    SetDlgItemTextW(dialog, SORRELWICK_BACKUP_SUMMARY, platform::WideForDisplay(text).c_str());
}

// Restore, Compare and Save changes as a mod need a backup; the summary
// follows the selection.
void FollowSelection(HWND dialog) {
    const BOOL chosen = SelectedBackup(dialog) ? TRUE : FALSE;
    EnableWindow(GetDlgItem(dialog, IDOK), chosen);
    EnableWindow(GetDlgItem(dialog, SORRELWICK_COMPARE_BUTTON), chosen);
    EnableWindow(GetDlgItem(dialog, SORRELWICK_SAVE_MOD_BUTTON), chosen);
    ShowSummary(dialog);
}

// The whole comparison goes into the main report; nothing is restored.
void CompareSelected(HWND dialog) {
    const std::optional<std::size_t> line = SelectedLine(dialog);
    if (!line) return;
    const RestoreChoice& choice = *Choice(dialog);
    ListBoxReportLog log(choice.report);
    comparison::ReportComparison(choice.set, choice.backups[*line], choice.report ? &log : nullptr);
}

// What changed since the selected backup, packed into a mod; the lines go
// into the main report.
void SaveSelectedAsMod(HWND dialog) {
    const std::optional<unsigned> number = SelectedBackup(dialog);
    if (!number) return;
    const RestoreChoice& choice = *Choice(dialog);
    SaveChangesAsMod(dialog, choice.report, choice.set.path, *number);
}

void FinishWithSelected(HWND dialog) {
    const std::optional<unsigned> number = SelectedBackup(dialog);
    if (!number) return;
    Choice(dialog)->chosen = *number;
    EndDialog(dialog, IDOK);
}

// The controls that follow the dialog's right edge when it grows, and those
// that grow with it.
constexpr int kMovingRight[] = {SORRELWICK_COMPARE_BUTTON, IDOK, IDCANCEL};
constexpr int kGrowing[] = {SORRELWICK_BACKUP_LIST, SORRELWICK_BACKUP_SUMMARY};

// The backups' lines have columns, and the last one matters ("7 textures"):
// the dialog grows as wide as its longest line needs, kept centred and
// within the screen's work area.
void WidenForWholeLines(HWND dialog, HWND list) {
    RECT client = {};
    GetClientRect(list, &client);
    // The list draws each line a little in from its edge, and its last
    // column must not touch the border: a few pixels more than the text.
    const LONG slack = AtDpi(6, WindowDpi(dialog));
    const LONG wanted = static_cast<LONG>(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0)) + slack;
    RECT outline = {}, work = {};
    GetWindowRect(dialog, &outline);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const LONG room = (work.right - work.left) - (outline.right - outline.left);
    const LONG grow = std::min(wanted - client.right, room);
    if (grow <= 0) return;
    for (const int id : kGrowing) {
        const HWND control = GetDlgItem(dialog, id);
        RECT place = {};
        GetWindowRect(control, &place);
        SetWindowPos(control, nullptr, 0, 0, place.right - place.left + grow,
                     place.bottom - place.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (const int id : kMovingRight) {
        const HWND control = GetDlgItem(dialog, id);
        RECT place = {};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        SetWindowPos(control, nullptr, place.left + grow, place.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const LONG left = std::max(work.left, outline.left - grow / 2);
    SetWindowPos(dialog, nullptr, left, outline.top, outline.right - outline.left + grow,
                 outline.bottom - outline.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR OnInitDialog(HWND dialog, RestoreChoice& choice) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&choice));
    const HWND list = GetDlgItem(dialog, SORRELWICK_BACKUP_LIST);
    choice.font = GiveReportFont(list, WindowDpi(dialog));
    KeepOwnFontOnDpiChange(list);
    ListBoxReportLog log(list);
    log.ForgetWidths();
    for (const std::string& line : choice.lines) log.AppendLine(line);
    log.Flush();
    WidenForWholeLines(dialog, list);
    // Appending scrolls to the last line; the list opens at its top.
    SendMessageW(list, LB_SETTOPINDEX, 0, 0);
    FollowSelection(dialog);
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
    if (id == SORRELWICK_BACKUP_LIST && notice == LBN_SELCHANGE) FollowSelection(dialog);
    if (id == SORRELWICK_BACKUP_LIST && notice == LBN_DBLCLK) FinishWithSelected(dialog);
    if (id == SORRELWICK_COMPARE_BUTTON) CompareSelected(dialog);
    if (id == SORRELWICK_SAVE_MOD_BUTTON) SaveSelectedAsMod(dialog);
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

RestoreChoice ChoiceFor(const std::string& setPath, HWND report) {
    RestoreChoice choice;
    // Compared where it lies, beside its backups, when its path is a link.
    const std::string setFile = backup::ResolveSetPath(setPath);
    choice.set = {setFile, FileName(setFile)};
    choice.report = report;
    const auto backups = backup::ListBackups(setPath);
    if (!backups) {
        choice.lines.push_back(report::msg::CouldNotSearchFolder(FileName(setPath)));
    } else if (backups->empty()) {
        choice.lines.push_back(report::msg::NoBackups(FileName(setPath)));
    }
    for (const backup::BackupInfo& backup : backups.value_or(std::vector<backup::BackupInfo>{})) {
        choice.lines.push_back(backup::BackupLine(backup));
        choice.numbers.push_back(backup.number);
        choice.backups.push_back({backup.path, backup.fileName});
    }
    choice.summaries.resize(choice.backups.size());
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
    const HWND list = GetDlgItem(mainWindow, SORRELWICK_REPORT_LIST);
    RestoreChoice choice = ChoiceFor(*setPath, list);
    const INT_PTR answer =
        DialogBoxParamW(nullptr, MAKEINTRESOURCEW(SORRELWICK_RESTORE_DIALOG), mainWindow,
                        RestoreDialogProcedure, reinterpret_cast<LPARAM>(&choice));
    if (answer != IDOK) return;
    ToolState& state = TheToolState();
    SetLoadedSet(state, *setPath);
    ListBoxReportLog log(list);
    backup::RestoreBackup(state, choice.chosen, list ? &log : nullptr);
    LoadSet(mainWindow, *setPath);
}

}  // namespace sorrelwick::ui
