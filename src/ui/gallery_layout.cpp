#include "ui/gallery_layout.h"

#include "ui/display_scale.h"
#include "ui/resource_ids.h"

namespace sorrelwick::ui {
namespace {

// At 96 DPI, in pixels.
constexpr int kMargin = 8;
constexpr int kViewWidth = 272;
constexpr int kRowHeight = 24;
constexpr int kSwitchWidth = 84;
constexpr int kButtonWidth = 140;
constexpr int kFontHeight = 12;
constexpr int kLabelRoom = 44;  // two lines of label under a tile
constexpr int kTileGap = 24;

struct Switch {
    int id;
    const wchar_t* text;
    DWORD style;
};

constexpr Switch kSwitches[] = {
    {SORRELWICK_VIEW_COLOUR, L"Colour", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP},
    {SORRELWICK_VIEW_ALPHA, L"Alpha", BS_AUTORADIOBUTTON},
    {SORRELWICK_VIEW_BOTH, L"Both", BS_AUTORADIOBUTTON},
    {SORRELWICK_VIEW_FITTED, L"&Fit to the view", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP},
    {SORRELWICK_WEB_PAGE_BUTTON, L"Open as &web page", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP},
};

void Place(HWND gallery, int id, int x, int y, int width, int height) {
    if (const HWND control = GetDlgItem(gallery, id)) {
        SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace

OwnedFont MakeGalleryFont(UINT dpi) {
    return OwnedFont(CreateFontW(-AtDpi(kFontHeight, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg 2"));
}

void CreateGallerySwitches(HWND gallery) {
    for (const Switch& control : kSwitches) {
        CreateWindowExW(0, L"BUTTON", control.text, WS_CHILD | WS_VISIBLE | control.style, 0, 0, 0,
                        0, gallery, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                        GetModuleHandleW(nullptr), nullptr);
    }
}

void LayOutGallery(HWND gallery, UINT dpi) {
    RECT client = {};
    GetClientRect(gallery, &client);
    const int margin = AtDpi(kMargin, dpi), row = AtDpi(kRowHeight, dpi);
    const int viewWidth = AtDpi(kViewWidth, dpi);
    const int right = client.right - margin;
    const int viewLeft = right - viewWidth;
    const int switchesTop = client.bottom - margin - 3 * row;
    Place(gallery, SORRELWICK_GALLERY_LIST, margin, margin, viewLeft - 2 * margin,
          client.bottom - 2 * margin);
    Place(gallery, SORRELWICK_GALLERY_VIEW, viewLeft, margin, viewWidth, switchesTop - 2 * margin);
    const int switchWidth = AtDpi(kSwitchWidth, dpi);
    for (int i = 0; i < 3; ++i) {
        Place(gallery, kSwitches[i].id, viewLeft + i * switchWidth, switchesTop, switchWidth, row);
    }
    Place(gallery, SORRELWICK_VIEW_FITTED, viewLeft, switchesTop + row, viewWidth, row);
    Place(gallery, SORRELWICK_WEB_PAGE_BUTTON, right - AtDpi(kButtonWidth, dpi),
          switchesTop + 2 * row, AtDpi(kButtonWidth, dpi), row);
}

SIZE GalleryOpeningSize(UINT dpi) {
    return {AtDpi(860, dpi), AtDpi(600, dpi)};
}

void LimitGallerySize(MINMAXINFO& limits, UINT dpi) {
    limits.ptMinTrackSize = {AtDpi(kViewWidth + 240, dpi), AtDpi(360, dpi)};
}

TileSpacing SpacingFor(int side, UINT dpi) {
    return {side + AtDpi(kTileGap, dpi), side + AtDpi(kLabelRoom, dpi)};
}

}  // namespace sorrelwick::ui
