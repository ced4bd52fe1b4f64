#pragma once
// The main window: the report list and the command buttons of dialog
// template 130.

#include <windows.h>

#include <string>
#include <string_view>

namespace sorrelwick::ui {

// The dialog procedure of the main window.
INT_PTR CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The caption while a chess set is loaded: "title - set name", cut to the 259
// characters a caption holds.
std::string LoadedCaption(std::string_view title, std::string_view setName);

}  // namespace sorrelwick::ui
