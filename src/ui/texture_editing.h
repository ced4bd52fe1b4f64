#pragma once
// Textures of the shown set opened in the user's own image editor. Each is
// written as a PNG into an editing folder of the user's (one per set, never
// the game's folder) and opened as Explorer's "Edit" opens it; the folder is
// then watched, and each save, once the file stopped changing, is imported
// into its texture through one editing session, so the set keeps one backup
// however often the user saves. Internal to the gallery.
//
// The watch runs on the gallery's own thread: a timer asks the folder's
// watch, without waiting, what was saved, and the save detector says when a
// file is whole. An import is one rewrite, as "Replace from file..." is, so
// nothing is shared between threads.

#include <windows.h>

#include <cstddef>
#include <string>

#include "ui/gallery_state.h"

namespace sorrelwick::ui {

// The timer of the gallery's window that drives the watch.
inline constexpr UINT_PTR kEditingTimer = 0x5345;

// Writes `texture` as a PNG into the set's editing folder, opens it in the
// user's image editor and watches it; the main report says which file was
// opened, or why no editor started. The same texture again in the same
// watch opens its file again.
void EditInImageEditor(Gallery& gallery, std::size_t texture);

// The timer's tick: imports each file that was saved and is now whole.
void TakeEditorSaves(Gallery& gallery);

// Stops watching; the files stay where they are, for the user.
void StopEditing(Gallery& gallery);

// The folder the set named `setName` is edited in:
// %LOCALAPPDATA%\Sorrelwick\Editing\<setName>. Empty when the system does
// not say where the user's local application data lives.
std::string EditingFolder(const std::string& setName);

}  // namespace sorrelwick::ui
