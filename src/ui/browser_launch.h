#pragma once
// Showing a written page with whatever the system opens .html files with.

#include <windows.h>

#include <string>

namespace sorrelwick::ui {

// Asks the system to open `path`; true when it says it did.
bool ShowInBrowser(HWND owner, const std::string& path);

// For tests: `launch` is asked in place of the system's shell; null restores
// the shell.
using LaunchFunction = HINSTANCE(WINAPI*)(HWND owner, LPCWSTR verb, LPCWSTR file,
                                          LPCWSTR parameters, LPCWSTR folder, INT show);
void ReplaceBrowserLaunchForTests(LaunchFunction launch);

}  // namespace sorrelwick::ui
