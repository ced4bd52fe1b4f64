#include "ui/report_font.h"

#include "ui/display_scale.h"

namespace sorrelwick::ui {

// No installed face has this name; font matching supplies the closest
// fixed-pitch face, so that the columns of the lines line up.
OwnedFont GiveReportFont(HWND list, UINT dpi) {
    OwnedFont font(CreateFontW(-AtDpi(11, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, FIXED_PITCH | FF_DONTCARE, L"Curier"));
    if (font && list) SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    return font;
}

}  // namespace sorrelwick::ui
