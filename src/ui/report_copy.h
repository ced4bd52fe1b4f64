#pragma once
// Copying the report, so that a user can paste it into a request for help:
// Ctrl+C in the report and "Copy report" on its context menu.

#include <windows.h>

#include <string>

namespace sorrelwick::ui {

// Every line of `list`, in order, each ended by CR LF.
std::wstring ReportText(HWND list);

// Puts the report's text on the clipboard as Unicode text, in place of what
// it held; false when the clipboard could not be had.
bool CopyReport(HWND owner, HWND list);

// Makes Ctrl+C in `list` send the owner the command `copyCommand`.
void CopyOnControlC(HWND list, int copyCommand);

// Shows the report's context menu at `at` (screen coordinates; -1, -1 when
// it was asked for from the keyboard: then at the list's corner) and sends
// `owner` the command of the item chosen, if any.
void ShowReportMenu(HWND owner, HWND list, LPARAM at, int copyCommand);

}  // namespace sorrelwick::ui
