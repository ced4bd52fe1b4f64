#pragma once
// The main window's Restore a backup command and its dialog.

#include <windows.h>

namespace sorrelwick::ui {

// Lists the backups of the loaded set (when none is loaded, of the set the
// user picks, a backup standing for its set) in the restore dialog; the one
// chosen there is restored into the main window's report list and the set
// is loaded again. Cancelling changes and reports nothing.
void RestoreFromBackup(HWND mainWindow, int id);

// The restore dialog's procedure; its creation parameter points to what it
// lists and where it puts the choice.
INT_PTR CALLBACK RestoreDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace sorrelwick::ui
