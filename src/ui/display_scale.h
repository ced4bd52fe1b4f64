#pragma once
// The display scale a window is drawn at, in dots per inch (96 at 100%), and
// what follows it. The functions that tell one monitor's scale from
// another's exist only on newer systems; older ones get the system's scale.

#include <windows.h>

namespace sorrelwick::ui {

constexpr UINT kBaseDpi = 96;

// The scale `window` is drawn at: its monitor's when the system tells it,
// else the system's.
UINT WindowDpi(HWND window);

// `value`, given for 96 DPI, at `dpi`: rounded to the nearest, halves away
// from zero.
int AtDpi(int value, UINT dpi);

// How much wider and taller `window` is than its client area at `dpi`: its
// caption and borders.
SIZE FrameSize(HWND window, UINT dpi);

// Keeps the system from moving and resizing `dialog`'s controls and from
// resizing the dialog when it moves to a monitor of another scale: the
// dialog does that itself on WM_DPICHANGED. Its controls still get the
// dialog's font at the new scale. Nothing on systems that scale dialogs no
// further than at their creation.
void TakeOverDpiChanges(HWND dialog);

// Keeps the system from giving `control`, which has a font of its own, the
// dialog's font when the dialog moves to a monitor of another scale.
void KeepOwnFontOnDpiChange(HWND control);

}  // namespace sorrelwick::ui
