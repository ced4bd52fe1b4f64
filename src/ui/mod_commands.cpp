#include "ui/mod_commands.h"

#include "mod/mod_apply.h"
#include "mod/mod_file.h"
#include "mod/mod_messages.h"
#include "mod/mod_pack.h"
#include "mod/mod_question.h"
#include "mod/mods_messages.h"
#include "platform/file_system.h"
#include "platform/win32/wide_text.h"
#include "report/lines.h"
#include "ui/list_box_report_log.h"
#include "ui/main_window.h"
#include "ui/page_save_dialog.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"
#include "ui/user_settings.h"

namespace sorrelwick::ui {
namespace {

// What the question dialog shows and what the user chose in it.
struct QuestionChoice {
    const mod::ModQuestion& question;
    int answer = IDCANCEL;
};

// The title and author last given, for the next mod of this run.
struct ModDetails {
    std::string title, author;
};
ModDetails remembered;

std::string FieldText(HWND dialog, int id) {
    const HWND field = GetDlgItem(dialog, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    return platform::Utf8FromWide(text).value_or(std::string());
}

// A mod with nothing to do for the set says so in the report and writes
// nothing: its pieces are applied already or not in the set.
void ReportNothingToDo(const mod::ModQuestion& question, const std::string& modPath,
                       const std::string& setName, report::ReportLog& log) {
    report::AddHeading(log, mod::msg::Applying(modPath, setName));
    for (const std::string& sentence : question.sentences) log.AppendLine(sentence);
    log.AppendLine(mod::msg::NothingToDo(setName));
    report::AddClosing(log);
}

bool EndsInZip(const std::string& name) {
    static constexpr char kZip[] = ".zip";
    if (name.size() < 4) return false;
    for (std::size_t i = 0; i < 4; ++i) {
        const char c = name[name.size() - 4 + i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != kZip[i]) return false;
    }
    return true;
}

}  // namespace

INT_PTR CALLBACK ModQuestionProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            const auto* choice = reinterpret_cast<QuestionChoice*>(lParam);
            if (!choice) return TRUE;
            const mod::ModQuestion& question = choice->question;
            SetDlgItemTextW(dialog, SORRELWICK_MOD_QUESTION_TEXT,
                            platform::WideForDisplay(question.text).c_str());
            ShowWindow(GetDlgItem(dialog, SORRELWICK_APPLY_ALL_BUTTON),
                       question.refused.empty() ? SW_HIDE : SW_SHOW);
            EnableWindow(GetDlgItem(dialog, IDOK), question.willChange);
            if (question.willChange) return TRUE;
            SetFocus(GetDlgItem(dialog, SORRELWICK_APPLY_ALL_BUTTON));
            return FALSE;
        }
        case WM_COMMAND: {
            const int id = static_cast<int>(wParam & 0xFFFF);
            if (id != IDOK && id != IDCANCEL && id != SORRELWICK_APPLY_ALL_BUTTON) return FALSE;
            if (auto* choice =
                    reinterpret_cast<QuestionChoice*>(GetWindowLongPtrW(dialog, DWLP_USER)))
                choice->answer = id;
            EndDialog(dialog, id);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK ModDetailsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SetDlgItemTextW(dialog, SORRELWICK_MOD_TITLE_EDIT,
                            platform::WideForDisplay(remembered.title).c_str());
            SetDlgItemTextW(dialog, SORRELWICK_MOD_AUTHOR_EDIT,
                            platform::WideForDisplay(remembered.author).c_str());
            return TRUE;
        case WM_COMMAND:
            switch (wParam & 0xFFFF) {
                case IDOK:
                    remembered = {FieldText(dialog, SORRELWICK_MOD_TITLE_EDIT),
                                  FieldText(dialog, SORRELWICK_MOD_AUTHOR_EDIT)};
                    EndDialog(dialog, IDOK);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

void ApplyModFile(HWND mainWindow, const std::string& modPath, HWND owner) {
    const ToolState& state = TheToolState();
    if (state.setPath.empty()) return;
    const HWND list = GetDlgItem(mainWindow, SORRELWICK_REPORT_LIST);
    ListBoxReportLog log(list);
    bool force = false;
    // Read here only for the question; applying reads both again, as any
    // file may change between the two. A mod or set that can't be read is
    // left to applying to report.
    if (const std::optional<mod::ModFile> mod = mod::ReadModFile(modPath)) {
        report::MemoryReportLog ignored;
        const std::optional<mod::SetPieces> set =
            mod::ReadSetPieces(state.setPath, state.setName, {&mod->manifest}, ignored);
        if (set) {
            const mod::ModQuestion question = mod::AskAboutMod(
                mod->manifest, *set, std::string(platform::FileNamePart(modPath)), state.setName);
            if (mod::NothingToDo(question)) {
                if (list) ReportNothingToDo(question, modPath, state.setName, log);
                return;
            }
            QuestionChoice choice{question};
            DialogBoxParamW(nullptr, MAKEINTRESOURCEW(SORRELWICK_MOD_QUESTION_DIALOG),
                            owner ? owner : mainWindow, ModQuestionProcedure,
                            reinterpret_cast<LPARAM>(&choice));
            if (choice.answer == IDCANCEL) return;
            force = choice.answer == SORRELWICK_APPLY_ALL_BUTTON;
        }
    }
    if (mod::ApplyMod(state, {modPath, false, force}, list ? &log : nullptr)) {
        WriteUserSetting(kLastModFolderSetting, platform::FolderPart(modPath));
    }
    LoadSet(mainWindow, state.setPath);
}

std::optional<DroppedItem> DroppedMod(const std::vector<DroppedItem>& items) {
    for (const DroppedItem& item : items) {
        if (!item.folder && !item.path.empty() && EndsInZip(item.name)) return item;
    }
    return std::nullopt;
}

void SaveChangesAsMod(HWND owner, HWND report, const std::string& setPath, unsigned number) {
    if (DialogBoxParamW(nullptr, MAKEINTRESOURCEW(SORRELWICK_MOD_DETAILS_DIALOG), owner,
                        ModDetailsProcedure, 0) != IDOK) {
        return;
    }
    const std::string suggested = SuggestedPagePath(setPath);
    const std::optional<std::string> modPath =
        AskWhereToSaveMod(owner, suggested.substr(0, suggested.size() - 5) + ".zip");
    if (!modPath) return;
    ToolState state;
    SetLoadedSet(state, setPath);
    ListBoxReportLog log(report);
    // The save dialog has asked before an existing file was chosen.
    mod::PackMod(state,
                 {std::to_string(number), *modPath, remembered.title, remembered.author, {}, true},
                 report ? &log : nullptr);
}

}  // namespace sorrelwick::ui
