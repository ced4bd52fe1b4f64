#pragma once
// The gallery: a window of its own, beside the main window, with one tile
// per texture of the loaded set and a view of the selected one. A file
// dropped on a tile, or chosen from its menu, replaces that texture.

#include <windows.h>

namespace sorrelwick::ui {

// Opens the gallery of the loaded set, owned by `mainWindow`, or brings the
// open one forward. The main window stays usable.
void OpenGallery(HWND mainWindow, int id);

// After the main window loaded, restored or rewrote a set: an open gallery
// shows the loaded set as it now is.
void RefreshGallery();

// The open gallery; null when none is.
HWND GalleryWindow();

}  // namespace sorrelwick::ui
