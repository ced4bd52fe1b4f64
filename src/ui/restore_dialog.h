#pragma once
// The main window's Restore a backup command and its dialog.

#include <windows.h>

namespace sorrelwick::ui {

// Lists the backups of the loaded set (when none is loaded, of the set the
// user picks, a backup standing for its set) in the restore dialog, which
// sums up under the list how the selected backup differs from the set, and
// whose Compare writes the whole comparison into the main window's report
// list. The backup chosen there is restored into that list and the set is
// loaded again. Cancelling restores nothing.
void RestoreFromBackup(HWND mainWindow, int id);

// The restore dialog's procedure; its creation parameter points to what it
// lists and where it puts the choice.
INT_PTR CALLBACK RestoreDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace sorrelwick::ui
