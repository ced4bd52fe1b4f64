#pragma once
// The fixed-pitch font of the lists whose lines have columns: the main
// window's report and the restore dialog's backups.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace sorrelwick::ui {

struct FontRelease {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using OwnedFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontRelease>;

// Creates the font for a display scale of `dpi` (its height is 11 pixels at
// 96 DPI, in proportion at any other) and gives it to `list`; null when it
// could not be created. The list must not outlive the font.
OwnedFont GiveReportFont(HWND list, UINT dpi);

}  // namespace sorrelwick::ui
