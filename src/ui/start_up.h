#pragma once
// Start values of the ToolState: the title from the resources and the folder
// the open dialog starts in, taken from the game's install folder.

#include <windows.h>

#include <optional>
#include <string>

#include "set_file/tool_state.h"

namespace sorrelwick::ui {

// Text of string-table entry 103, cut to the 99 characters a title holds.
std::string LoadTitle(HINSTANCE instance);

// The game's chess-set folder: the install folder that the registry value
// "path" under HKEY_LOCAL_MACHINE\SOFTWARE\Brallion\Tessaravine names,
// followed by "\DATA\DAT". Nothing when the key or value is missing or empty,
// when the value is not a string, or when the folder would not fit in 259
// characters.
std::optional<std::string> GameDataFolder();

// The process's current directory; empty when it is longer than 259
// characters or cannot be read.
std::string CurrentFolder();

// The chess set and the folders at their start values: no chess
// set loaded, the default folder (game data folder, else current directory)
// and the last folder as its copy.
void SetStartFolders(ToolState& state);

}  // namespace sorrelwick::ui
