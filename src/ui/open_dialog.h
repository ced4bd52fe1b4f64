#pragma once
// The open dialog in which the user picks a chess-set file.

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include <optional>
#include <string>

namespace sorrelwick::ui {

// Shows the platform's open dialog for one existing ".DAT" file, starting in
// `startFolder` (the platform's choice when empty); a name typed without an
// extension gets ".DAT". The chosen full path, or
// nothing when the user cancelled or the dialog failed.
std::optional<std::string> AskForChessSet(HWND owner, const std::string& startFolder);

// For tests: shows `dialog` in place of the platform's open dialog; null
// restores the platform's.
using OpenDialogFunction = BOOL(APIENTRY*)(LPOPENFILENAMEA request);
void ReplaceOpenDialogForTests(OpenDialogFunction dialog);

}  // namespace sorrelwick::ui
