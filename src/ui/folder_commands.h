#pragma once
// The main window's two commands that work on a folder: Extract all textures
// and Replace textures.

#include <windows.h>

#include <string>
#include <string_view>

namespace sorrelwick::ui {

// Asks for a folder, starting from the last folder picked by either command,
// makes the confirmed one the last folder and runs the extraction (id 1005)
// or the replacement (id 1015) on it into the main window's report list.
// The replacement converts what it imports while the main window's "Convert
// on import" is checked.
// Cancelling changes and reports nothing.
void RunFolderCommand(HWND mainWindow, int id);

// The Extract picker's title for `setName`, cut to the 259 characters its
// buffer holds.
std::string ExtractPickerTitle(std::string_view setName);

}  // namespace sorrelwick::ui
