#pragma once
// The main window: the report list and the command buttons of dialog
// template 130.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "ui/dropped_files.h"

namespace sorrelwick::ui {

// The dialog procedure of the main window.
INT_PTR CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Makes `path` the loaded chess set and lists it into the report, as Load
// does: on success the caption names it and the set's commands are enabled,
// otherwise no set is loaded.
void LoadSet(HWND window, const std::string& path);

// What a drop on the window does: the first chess set is loaded as if
// chosen in the open dialog, what is not loaded named first; a dropped mod
// is then applied to the set, as if chosen for Apply a mod.
void OpenDroppedItems(HWND window, const std::vector<DroppedItem>& items);

// The caption while a chess set is loaded: "title - set name", cut to the 259
// characters a caption holds.
std::string LoadedCaption(std::string_view title, std::string_view setName);

}  // namespace sorrelwick::ui
