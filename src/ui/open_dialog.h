#pragma once
// The open dialog in which the user picks a chess-set file.

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include <optional>
#include <string>

namespace sorrelwick::ui {

// Which files the dialog offers.
enum class OpenChoice {
    kChessSet,          // ".DAT" files
    kChessSetOrBackup,  // also the numbered backups, ".000" to ".999"
    kModFile,           // ".zip" files
};

// Shows the platform's open dialog for one existing file, starting in
// `startFolder` (the platform's choice when empty); a name typed without an
// extension that names no file stands for the name with ".DAT". The chosen
// full path, or nothing when the user cancelled or the dialog failed.
std::optional<std::string> AskForChessSet(HWND owner, const std::string& startFolder,
                                          OpenChoice choice = OpenChoice::kChessSet);

// Shows the open dialog for one existing .tga or .png file, or when
// `converting` also a picture of every other format the tool converts
// (BMP, JPEG, PSD, GIF), starting in `startFolder`. The chosen full path, or
// nothing when cancelled.
std::optional<std::string> AskForTextureFile(HWND owner, const std::string& startFolder,
                                             bool converting = false);

// The dialog's hook: refuses a name that names no file, with or without
// ".DAT", and keeps the dialog open then.
UINT_PTR CALLBACK OpenDialogHook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);

// For tests: shows `dialog` in place of the platform's open dialog; null
// restores the platform's.
using OpenDialogFunction = BOOL(APIENTRY*)(LPOPENFILENAMEW request);
void ReplaceOpenDialogForTests(OpenDialogFunction dialog);

}  // namespace sorrelwick::ui
