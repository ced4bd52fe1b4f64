#pragma once
// The Read me dialog (template 103): the tool's name and version and the
// built-in help text.

#include <windows.h>

#include <string>

namespace sorrelwick::ui {

// Opens the dialog modally, owned by the main window, and waits for it.
void OpenReadMe(HWND mainWindow, int id);

// Fills the text field at every opening; OK, Escape and the close box end it.
INT_PTR CALLBACK ReadMeDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The help text, as the program's resources carry it; empty when missing.
std::string ReadMeText();

}  // namespace sorrelwick::ui
