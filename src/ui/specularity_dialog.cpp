#include "ui/specularity_dialog.h"

#include <cstdint>

#include "specular/change_specularity.h"
#include "ui/list_box_report_log.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"

namespace sorrelwick::ui {
namespace {

constexpr std::uint32_t kUnchanged = 100;

struct PercentField {
    int id;
    std::uint32_t SpecularPercents::*percent;
};

// Shininess of white, black and board, then their amplitude: the order in
// which the fields are filled and read.
constexpr PercentField kFields[] = {
    {SORRELWICK_WHITE_SHININESS, &SpecularPercents::whiteShininess},
    {SORRELWICK_BLACK_SHININESS, &SpecularPercents::blackShininess},
    {SORRELWICK_BOARD_SHININESS, &SpecularPercents::boardShininess},
    {SORRELWICK_WHITE_AMPLITUDE, &SpecularPercents::whiteAmplitude},
    {SORRELWICK_BLACK_AMPLITUDE, &SpecularPercents::blackAmplitude},
    {SORRELWICK_BOARD_AMPLITUDE, &SpecularPercents::boardAmplitude},
};

// The field's text as an unsigned number; anything else (an empty field, a
// value above 4294967295) counts as 100.
std::uint32_t FieldPercent(HWND dialog, int id) {
    BOOL isNumber = FALSE;
    const UINT value = GetDlgItemInt(dialog, id, &isNumber, FALSE);
    return isNumber ? value : kUnchanged;
}

INT_PTR OnInitDialog(HWND dialog) {
    for (const PercentField& field : kFields) {
        if (const HWND edit = GetDlgItem(dialog, field.id)) SetWindowTextW(edit, L"100");
    }
    return TRUE;
}

// The change runs before the dialog closes, whatever it reports.
void Save(HWND dialog) {
    ToolState& state = TheToolState();
    for (const PercentField& field : kFields) {
        state.percents.*field.percent = FieldPercent(dialog, field.id);
    }
    const HWND owner = GetParent(dialog);
    const HWND list = owner ? GetDlgItem(owner, SORRELWICK_REPORT_LIST) : nullptr;
    ListBoxReportLog log(list);
    specular::ChangeSpecularity(state, list ? &log : nullptr);
    EndDialog(dialog, IDOK);
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    switch (wParam & 0xFFFF) {
        case IDOK:
            Save(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void OpenSpecularityDialog(HWND mainWindow, int) {
    DialogBoxParamW(nullptr, MAKEINTRESOURCEW(SORRELWICK_SPECULARITY_DIALOG), mainWindow,
                    SpecularityDialogProcedure, 0);
}

INT_PTR CALLBACK SpecularityDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(dialog);
        case WM_COMMAND:
            return OnCommand(dialog, wParam);
        default:
            return FALSE;
    }
}

}  // namespace sorrelwick::ui
