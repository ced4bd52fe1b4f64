#pragma once
// Where the gallery's controls go at a display scale: the tiles take the
// room with the status line under them, the view of the selected texture
// and its switches keep to the right; and where the gallery opens.

#include <windows.h>

#include "ui/report_font.h"

namespace sorrelwick::ui {

// The font of the gallery's labels and switches at `dpi`.
OwnedFont MakeGalleryFont(UINT dpi);

// Creates the "Edit in your image editor" button, the view's switches
// ("Colour", "Alpha", "Both", the fit box), the "Convert on import" and
// "Scale to the texture's size" boxes, the "Open as web page" button and the status
// line as children of `gallery`, in the order Tab visits them.
void CreateGallerySwitches(HWND gallery);

// Places every control in `gallery`'s client area at `dpi`, and has all of
// it drawn again: a control that moved leaves nothing behind.
void LayOutGallery(HWND gallery, UINT dpi);

// The gallery's size as it opens, and the smallest client area in which
// every control is whole.
SIZE GalleryOpeningSize(UINT dpi);
SIZE GalleryMinimumClient(UINT dpi);
void LimitGallerySize(HWND gallery, MINMAXINFO& limits, UINT dpi);

// The room of a tile of `side` pixels with its two lines of label.
struct TileSpacing {
    int across;
    int down;
};
TileSpacing SpacingFor(int side, UINT dpi);

// Where the gallery opens, in screen coordinates: beside the main window
// (right, else left) when the work area has room for it there, else over
// the right part of the main window's report, leaving the report's left
// edge (`keepVisible` pixels of it) and the buttons right of the report in
// sight. `opening` and `minimum` are whole window sizes.
struct GalleryPlaceRequest {
    RECT mainWindow;
    RECT report;
    RECT workArea;
    SIZE opening;
    SIZE minimum;
    LONG keepVisible;
};
RECT GalleryPlace(const GalleryPlaceRequest& request);

}  // namespace sorrelwick::ui
