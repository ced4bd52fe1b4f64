#pragma once
// The save dialog in which the user chooses where the preview page goes.

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include <optional>
#include <string>

namespace sorrelwick::ui {

// Shows the platform's save dialog for an .html page, offering
// `suggestedPath` (its folder as the start, its name in the name field). The
// dialog itself asks before an existing file is chosen. The chosen full path,
// or nothing when the user cancelled or the dialog failed.
std::optional<std::string> AskWhereToSavePage(HWND owner, const std::string& suggestedPath);

// Shows the save dialog for a texture's .tga file, offering `suggestedPath`.
// An existing file can't be chosen: the dialog says "NAME exists: choose
// another name." and stays open (the extraction never replaces a file).
// The chosen full path, or nothing when cancelled.
std::optional<std::string> AskWhereToExtractTexture(HWND owner, const std::string& suggestedPath);

// That dialog's hook: refuses an existing file's name and keeps the dialog
// open then.
UINT_PTR CALLBACK ExtractDialogHook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
// The same for a mod file (.zip).
std::optional<std::string> AskWhereToSaveMod(HWND owner, const std::string& suggestedPath);

// The page a set is previewed in unless the user says otherwise: in the
// set's folder, named as the set with ".html" for its extension.
std::string SuggestedPagePath(const std::string& setPath);

// For tests: shows `dialog` in place of the platform's save dialog; null
// restores the platform's.
using SaveDialogFunction = BOOL(APIENTRY*)(LPOPENFILENAMEW request);
void ReplaceSaveDialogForTests(SaveDialogFunction dialog);

}  // namespace sorrelwick::ui
