#pragma once
// Mods in the Windows program: applying one (from the Mods dialog or
// dropped on the window) and the restore dialog's Save changes as a mod.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/dropped_files.h"

namespace sorrelwick::ui {

// Asks the user to confirm, naming the mod's title and counting what it
// would do to the loaded set, then applies it, its lines in the main
// window's report, and lists the set again. Pieces that differ from the
// mod's base are named in the question, and "Apply those too" takes them
// as well. A mod with nothing to do says so in the report and writes
// nothing; a file that is not a mod gets its line there, without a
// question. The question is owned by `owner`, the main window when null.
// The mod's folder is remembered as that of the last mod applied.
void ApplyModFile(HWND mainWindow, const std::string& modPath, HWND owner = nullptr);

// The first dropped file whose name ends in ".zip" (in any case).
std::optional<DroppedItem> DroppedMod(const std::vector<DroppedItem>& items);

// Asks for the mod's title and author (the last ones given to start with)
// and where the mod goes (beside the set, named as it with ".zip"), then
// packs the set at `setPath` against its backup `number`, the lines in
// `report`.
void SaveChangesAsMod(HWND owner, HWND report, const std::string& setPath, unsigned number);

// The question before a mod is applied; its parameter says what to show
// and takes the answer (IDOK, SORRELWICK_APPLY_ALL_BUTTON or IDCANCEL).
INT_PTR CALLBACK ModQuestionProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The title and author asked for before changes are saved as a mod.
INT_PTR CALLBACK ModDetailsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace sorrelwick::ui
