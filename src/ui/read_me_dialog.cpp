#include "ui/read_me_dialog.h"

#include "platform/win32/wide_text.h"
#include "ui/resource_ids.h"

namespace sorrelwick::ui {
namespace {

INT_PTR OnInitDialog(HWND dialog) {
    if (const HWND text = GetDlgItem(dialog, SORRELWICK_READ_ME_EDIT)) {
        SetWindowTextW(text, platform::WideForDisplay(ReadMeText()).c_str());
    }
    return TRUE;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    const int id = static_cast<int>(wParam & 0xFFFF);
    if (id != IDOK && id != IDCANCEL) return FALSE;
    EndDialog(dialog, id);
    return TRUE;
}

}  // namespace

std::string ReadMeText() {
    // Raw data: not NUL-terminated, so its size is taken from the resource.
    const HRSRC found =
        FindResourceW(nullptr, MAKEINTRESOURCEW(SORRELWICK_READ_ME_TEXT), MAKEINTRESOURCEW(10));
    if (!found) return {};
    const HGLOBAL loaded = LoadResource(nullptr, found);
    const auto* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!bytes) return {};
    return std::string(bytes, SizeofResource(nullptr, found));
}

void OpenReadMe(HWND mainWindow, int) {
    DialogBoxParamW(nullptr, MAKEINTRESOURCEW(SORRELWICK_READ_ME_DIALOG), mainWindow,
                    ReadMeDialogProcedure, 0);
}

INT_PTR CALLBACK ReadMeDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
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
