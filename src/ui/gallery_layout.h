#pragma once
// Where the gallery's controls go at a display scale: the tiles take the
// room, the view of the selected texture and its switches keep to the right.

#include <windows.h>

#include "ui/report_font.h"

namespace sorrelwick::ui {

// The font of the gallery's labels and switches at `dpi`.
OwnedFont MakeGalleryFont(UINT dpi);

// Creates the view's switches ("Colour", "Alpha", "Both", the fit box) and
// the "Open as web page" button as children of `gallery`.
void CreateGallerySwitches(HWND gallery);

// Places every control in `gallery`'s client area at `dpi`.
void LayOutGallery(HWND gallery, UINT dpi);

// The gallery's size as it opens, and the smallest it can be made.
SIZE GalleryOpeningSize(UINT dpi);
void LimitGallerySize(MINMAXINFO& limits, UINT dpi);

// The room of a tile of `side` pixels with its two lines of label.
struct TileSpacing {
    int across;
    int down;
};
TileSpacing SpacingFor(int side, UINT dpi);

}  // namespace sorrelwick::ui
