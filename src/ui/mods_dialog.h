#pragma once
// The Mods dialog: the mods of a folder the user picks, each with a small
// picture of the first texture it changes, its title, author, state
// against the loaded set and the other mods that change one of its pieces;
// and what can be done with one: apply it, take it out, see the page of
// them all, add a mod to the folder.

#include <windows.h>

namespace sorrelwick::ui {

// The main window's Mods command: the dialog, owned by `mainWindow`, on the
// folder picked last (remembered for the user), else that of the last mod
// applied. Actions write their lines into the main window's report.
void OpenModsDialog(HWND mainWindow, int id);

// The dialog's procedure; its parameter is the main window, or null for a
// dialog that lists nothing (a template shown on its own).
INT_PTR CALLBACK ModsDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace sorrelwick::ui
