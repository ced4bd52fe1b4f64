#pragma once
// The platform's folder picker, opened on the last folder the user picked.

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <optional>
#include <string>

namespace sorrelwick::ui {

// Shows the folder picker, modal to `owner`, with `title` above the tree. The
// full path of the item the user confirmed (empty for an item outside the
// file system), or nothing when the user cancelled or the shell's allocator
// could not be had.
std::optional<std::string> AskForFolder(HWND owner, const std::string& title);

// The picker's callback: selects the ToolState's last folder when the picker
// opens, enables OK whenever an item with a file-system path is selected,
// and keeps the picker open, OK disabled, on a typed name that is not valid.
int CALLBACK FolderPickerCallback(HWND picker, UINT event, LPARAM parameter, LPARAM);

// For tests: `browse` shows itself in place of the platform's picker and
// `pathOf` gives an item's path; null restores the platform's function.
using BrowseFunction = PIDLIST_ABSOLUTE(WINAPI*)(LPBROWSEINFOW request);
using PathFunction = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE item, PWSTR path, DWORD size,
                                   GPFIDL_FLAGS flags);
void ReplaceFolderPickerForTests(BrowseFunction browse, PathFunction pathOf);

}  // namespace sorrelwick::ui
