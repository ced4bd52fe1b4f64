#include "ui/gallery_layout.h"

#include <algorithm>

// After windows.h, which it needs.
#include <commctrl.h>

#include "ui/display_scale.h"
#include "ui/resource_ids.h"

namespace sorrelwick::ui {
namespace {

// At 96 DPI, in pixels.
constexpr int kMargin = 8;
constexpr int kGap = 4;
constexpr int kViewWidth = 272;
constexpr int kViewMinimumHeight = 96;
constexpr int kRowHeight = 24;
constexpr int kSwitchWidth = 84;
constexpr int kButtonWidth = 140;
constexpr int kEditButtonWidth = 200;
constexpr int kFontHeight = 12;
constexpr int kLabelRoom = 44;  // two lines of label under a tile
constexpr int kTileGap = 24;
constexpr int kTileSide = 128;
constexpr int kListFrame = 24;  // the list's borders and its scroll bar

struct Control {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
};

// In the order Tab visits them, after the tiles.
constexpr Control kControls[] = {
    {SORRELWICK_EDIT_TEXTURE, L"BUTTON", L"&Edit in your image editor",
     BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP},
    {SORRELWICK_VIEW_COLOUR, L"BUTTON", L"&Colour", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP},
    {SORRELWICK_VIEW_ALPHA, L"BUTTON", L"&Alpha", BS_AUTORADIOBUTTON},
    {SORRELWICK_VIEW_BOTH, L"BUTTON", L"&Both", BS_AUTORADIOBUTTON},
    {SORRELWICK_VIEW_FITTED, L"BUTTON", L"&Fit to the view",
     BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP},
    {SORRELWICK_GALLERY_CONVERT, L"BUTTON", L"C&onvert on import",
     BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP},
    {SORRELWICK_GALLERY_FIT, L"BUTTON", L"&Scale to the texture's size",
     BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP},
    {SORRELWICK_WEB_PAGE_BUTTON, L"BUTTON", L"Open as &web page",
     BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP},
    {SORRELWICK_GALLERY_STATUS, L"STATIC", L"",
     SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS | SS_NOPREFIX | SS_CENTERIMAGE | WS_GROUP},
};

// Right column, from the bottom up: the page button, the three boxes, the
// radios, the Edit button.
constexpr int kRowsUnderView = 6;
// The first of the view's switches in kControls.
constexpr int kFirstSwitch = 1;

void Place(HDWP& batch, HWND gallery, int id, int x, int y, int width, int height) {
    const HWND control = GetDlgItem(gallery, id);
    if (!control || !batch) return;
    batch = DeferWindowPos(batch, control, nullptr, x, y, std::max(width, 0), std::max(height, 0),
                           SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

OwnedFont MakeGalleryFont(UINT dpi) {
    return OwnedFont(CreateFontW(-AtDpi(kFontHeight, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg 2"));
}

void CreateGallerySwitches(HWND gallery) {
    for (const Control& control : kControls) {
        CreateWindowExW(0, control.className, control.text, WS_CHILD | WS_VISIBLE | control.style,
                        0, 0, 0, 0, gallery,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                        GetModuleHandleW(nullptr), nullptr);
    }
}

void LayOutGallery(HWND gallery, UINT dpi) {
    RECT client = {};
    GetClientRect(gallery, &client);
    // Never laid out smaller than the smallest size: a window made smaller
    // by other means cuts its controls at its edge rather than crushing them.
    const SIZE least = GalleryMinimumClient(dpi);
    const LONG width = std::max(client.right, least.cx), height = std::max(client.bottom, least.cy);
    const int margin = AtDpi(kMargin, dpi), gap = AtDpi(kGap, dpi), row = AtDpi(kRowHeight, dpi);
    // The tiles take whole columns (a list of icons cuts a column it can't
    // hold rather than wrap it), the view what is left.
    const int frame = AtDpi(kListFrame, dpi);
    const int across = SpacingFor(AtDpi(kTileSide, dpi), dpi).across;
    const int room = width - 3 * margin - AtDpi(kViewWidth, dpi) - frame;
    const int listWidth = std::max(room / across, 1) * across + frame;
    const int right = width - margin;
    const int viewLeft = 2 * margin + listWidth;
    const int viewWidth = right - viewLeft;
    const int rowsTop = height - margin - kRowsUnderView * row;
    // The status line takes the bottom row, left of the button.
    const int statusTop = height - margin - row;
    const int buttonWidth = AtDpi(kButtonWidth, dpi);

    HDWP batch = BeginDeferWindowPos(14);
    Place(batch, gallery, SORRELWICK_GALLERY_LIST, margin, margin, listWidth,
          statusTop - gap - margin);
    Place(batch, gallery, SORRELWICK_GALLERY_STATUS, margin, statusTop,
          right - buttonWidth - gap - margin, row);
    Place(batch, gallery, SORRELWICK_GALLERY_VIEW, viewLeft, margin, viewWidth,
          rowsTop - gap - margin);
    const int editWidth = std::min(AtDpi(kEditButtonWidth, dpi), viewWidth);
    Place(batch, gallery, SORRELWICK_EDIT_TEXTURE, viewLeft, rowsTop, editWidth, row);
    const int switchWidth = AtDpi(kSwitchWidth, dpi);
    for (int i = 0; i < 3; ++i) {
        Place(batch, gallery, kControls[kFirstSwitch + i].id, viewLeft + i * switchWidth,
              rowsTop + row, switchWidth, row);
    }
    Place(batch, gallery, SORRELWICK_VIEW_FITTED, viewLeft, rowsTop + 2 * row, viewWidth, row);
    Place(batch, gallery, SORRELWICK_GALLERY_CONVERT, viewLeft, rowsTop + 3 * row, viewWidth, row);
    Place(batch, gallery, SORRELWICK_GALLERY_FIT, viewLeft, rowsTop + 4 * row, viewWidth, row);
    Place(batch, gallery, SORRELWICK_WEB_PAGE_BUTTON, right - buttonWidth, rowsTop + 5 * row,
          buttonWidth, row);
    if (batch) EndDeferWindowPos(batch);
    // The tiles arranged for the list's new width, twice: the first time
    // may bring the scroll bar that narrows it.
    const HWND tiles = GetDlgItem(gallery, SORRELWICK_GALLERY_LIST);
    for (int i = 0; tiles && i < 2; ++i) SendMessageW(tiles, LVM_ARRANGE, LVA_DEFAULT, 0);
    RedrawWindow(gallery, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

SIZE GalleryOpeningSize(UINT dpi) {
    return {AtDpi(860, dpi), AtDpi(600, dpi)};
}

SIZE GalleryMinimumClient(UINT dpi) {
    const TileSpacing tile = SpacingFor(AtDpi(kTileSide, dpi), dpi);
    const int margin = AtDpi(kMargin, dpi), gap = AtDpi(kGap, dpi), row = AtDpi(kRowHeight, dpi);
    const int listWidth = tile.across + AtDpi(kListFrame, dpi);
    const int listHeight = tile.down + AtDpi(kListFrame, dpi);
    const int width = margin + listWidth + margin + AtDpi(kViewWidth, dpi) + margin;
    const int left = margin + listHeight + gap + row + margin;
    const int right = margin + AtDpi(kViewMinimumHeight, dpi) + gap + kRowsUnderView * row + margin;
    return {width, std::max(left, right)};
}

void LimitGallerySize(HWND gallery, MINMAXINFO& limits, UINT dpi) {
    const SIZE client = GalleryMinimumClient(dpi);
    const SIZE frame = FrameSize(gallery, dpi);
    limits.ptMinTrackSize = {client.cx + frame.cx, client.cy + frame.cy};
}

TileSpacing SpacingFor(int side, UINT dpi) {
    return {side + AtDpi(kTileGap, dpi), side + AtDpi(kLabelRoom, dpi)};
}

RECT GalleryPlace(const GalleryPlaceRequest& r) {
    const RECT& work = r.workArea;
    const LONG workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    const LONG height = std::clamp(r.opening.cy, std::min(r.minimum.cy, workHeight), workHeight);
    const LONG top = std::clamp(r.mainWindow.top, work.top, work.bottom - height);
    const auto place = [&](LONG left, LONG width) {
        return RECT{left, top, left + width, top + height};
    };
    const LONG roomRight = work.right - r.mainWindow.right;
    if (roomRight >= r.minimum.cx) {
        return place(r.mainWindow.right, std::min(r.opening.cx, roomRight));
    }
    const LONG roomLeft = r.mainWindow.left - work.left;
    if (roomLeft >= r.minimum.cx) {
        const LONG width = std::min(r.opening.cx, roomLeft);
        return place(r.mainWindow.left - width, width);
    }
    // Over the report's right part, its right edge at the report's, so the
    // buttons right of the report stay in sight; no smaller than it can be,
    // and on the screen.
    const LONG room = r.report.right - (r.report.left + r.keepVisible);
    const LONG width = std::min(std::max(std::min(r.opening.cx, room), r.minimum.cx), workWidth);
    const LONG left = std::clamp(r.report.right - width, work.left, work.right - width);
    return place(left, width);
}

}  // namespace sorrelwick::ui
