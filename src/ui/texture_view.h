#pragma once
// The gallery's view of the selected texture: its picture at its own size
// (1:1, centred and cut at the edges) or fitted to the view, each pixel
// drawn as a square without smoothing; the reason when it has none.

#include <windows.h>

#include "operations/texture_picture.h"

namespace sorrelwick::ui {

// Creates the view as child `id` of `parent`.
HWND CreateTextureView(HWND parent, int id);

// Shows `picture` in `view`, fitted or at 1:1.
void ShowInTextureView(HWND view, operations::TexturePicture picture, bool fitted);

// The picture `view` shows.
const operations::TexturePicture* TextureViewPicture(HWND view);

}  // namespace sorrelwick::ui
