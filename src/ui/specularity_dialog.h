#pragma once
// The Change specularity dialog (template 131): six percentages for the
// shininess and amplitude of the white pieces, the black pieces and the board.

#include <windows.h>

namespace sorrelwick::ui {

// Opens the dialog modally, owned by the main window, and waits for it.
void OpenSpecularityDialog(HWND mainWindow, int id);

// Every opening shows 100 in all six fields. Save stores them as the
// ToolState's percents (a field that is not a number counts as 100), runs the
// specularity change into the owner's report list and closes; Cancel,
// Escape and the close box store nothing.
INT_PTR CALLBACK SpecularityDialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam);

}  // namespace sorrelwick::ui
