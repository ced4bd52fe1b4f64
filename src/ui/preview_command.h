#pragma once
// The main window's Preview textures command.

#include <windows.h>

namespace sorrelwick::ui {

// Asks where to save the loaded set's preview page, writes it into the main
// window's report list and opens it in the browser. Cancelling changes and
// reports nothing; a page the browser could not be asked to show stays.
void PreviewTextures(HWND mainWindow, int id);

}  // namespace sorrelwick::ui
