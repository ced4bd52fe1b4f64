#pragma once
// What the gallery does to one texture or with a drop: replace it from a
// file (after checking the set still holds what the tile showed), extract
// it, copy its picture, and the drops that load a set or apply a mod.

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstddef>
#include <string>

#include "ui/gallery_state.h"

namespace sorrelwick::ui {

void ReplaceFromFile(Gallery& gallery, std::size_t texture);
void ExtractToFile(Gallery& gallery, std::size_t texture);
void CopySelected(Gallery& gallery);

// Files dropped at `at` (the list's client coordinates): a chess set is
// loaded and a mod applied as on the main window; one image on a tile
// replaces that texture; anything else changes nothing, and says why.
void DropOnGallery(Gallery& gallery, HDROP drop);

// The last line of `report` from line `from` on that says something (not
// blank, not a separator); empty when none came.
std::string LastReportLineSince(HWND report, LRESULT from);

// The tile under `at` (the list's client coordinates), if any.
std::optional<std::size_t> TileAt(const Gallery& gallery, POINT at);

}  // namespace sorrelwick::ui
