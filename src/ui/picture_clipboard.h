#pragma once
// Copying a texture: its picture with its alpha, and its name as text.

#include <windows.h>

#include <string_view>

#include "operations/texture_picture.h"

namespace sorrelwick::ui {

// Puts `picture` (unblended, as MakeUnblendedPicture gives it) on the
// clipboard as a 32-bit DIB with its alpha, both as CF_DIBV5 (whose alpha
// mask says so) and CF_DIB, and `name` as Unicode text, in place of what it
// held. False when the clipboard could not be had.
bool CopyTexture(HWND owner, const operations::TexturePicture& picture, std::string_view name);

}  // namespace sorrelwick::ui
