#pragma once
// The gallery: a window of its own, beside the main window, with one tile
// per texture of the loaded set and a view of the selected one. A file
// dropped on a tile, or chosen from its menu, replaces that texture.

#include <windows.h>

namespace sorrelwick::ui {

// Opens the gallery of the loaded set beside `mainWindow`, or brings the
// open one forward. Neither window is kept in front of the other.
void OpenGallery(HWND mainWindow, int id);

// After the main window loaded, restored or rewrote a set: an open gallery
// shows the loaded set as it now is.
void RefreshGallery();

// After the main window's "Convert on import" changed: the gallery's box
// shows the same.
void FollowConvertChoice();

// The gallery's keyboard (Tab, Shift+Tab, mnemonics, Enter, Escape) for a
// message the message loop took: true when the gallery took it.
bool TakeGalleryKey(MSG& message);

// Closes the open gallery, if any: the main window goes.
void CloseGallery();

// The open gallery; null when none is.
HWND GalleryWindow();

}  // namespace sorrelwick::ui
