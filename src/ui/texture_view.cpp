#include "ui/texture_view.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/win32/wide_text.h"
#include "ui/picture_bitmap.h"

namespace sorrelwick::ui {
namespace {

constexpr wchar_t kClassName[] = L"SorrelwickTextureView";

struct ViewState {
    operations::TexturePicture picture;
    bool fitted = false;
};

ViewState* State(HWND view) {
    return reinterpret_cast<ViewState*>(GetWindowLongPtrW(view, GWLP_USERDATA));
}

// Where the picture goes in `client`: its own size, or the largest that
// fits with its proportions kept; centred either way.
RECT PicturePlace(const RECT& client, const operations::TexturePicture& picture, bool fitted) {
    LONG width = static_cast<LONG>(picture.width), height = static_cast<LONG>(picture.height);
    if (fitted && width > 0 && height > 0) {
        const double scale = std::min(static_cast<double>(client.right) / width,
                                      static_cast<double>(client.bottom) / height);
        width = std::max(1L, static_cast<LONG>(width * scale));
        height = std::max(1L, static_cast<LONG>(height * scale));
    }
    const LONG left = (client.right - width) / 2, top = (client.bottom - height) / 2;
    return {left, top, left + width, top + height};
}

void Paint(HWND view, HDC dc) {
    RECT client = {};
    GetClientRect(view, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    const ViewState* state = State(view);
    if (!state) return;
    const operations::TexturePicture& picture = state->picture;
    if (picture.bgra.empty()) {
        const std::wstring reason = platform::WideForDisplay(picture.reason);
        SetBkMode(dc, TRANSPARENT);
        const auto font = reinterpret_cast<HFONT>(SendMessageW(GetParent(view), WM_GETFONT, 0, 0));
        const HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
        DrawTextW(dc, reason.c_str(), static_cast<int>(reason.size()), &client,
                  DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_NOPREFIX);
        if (previous) SelectObject(dc, previous);
        return;
    }
    const RECT place = PicturePlace(client, picture, state->fitted);
    const BITMAPINFO header = TopDownHeader(picture.width, picture.height);
    SetStretchBltMode(dc, COLORONCOLOR);  // each pixel a square: no smoothing
    StretchDIBits(dc, place.left, place.top, place.right - place.left, place.bottom - place.top, 0,
                  0, static_cast<int>(picture.width), static_cast<int>(picture.height),
                  picture.bgra.data(), &header, DIB_RGB_COLORS, SRCCOPY);
}

LRESULT CALLBACK ViewProcedure(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(view, &paint);
            Paint(view, dc);
            EndPaint(view, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;  // painted whole in WM_PAINT
        case WM_SIZE:
            InvalidateRect(view, nullptr, FALSE);
            return 0;
        case WM_NCDESTROY:
            delete State(view);
            SetWindowLongPtrW(view, GWLP_USERDATA, 0);
            return 0;
        default:
            return DefWindowProcW(view, message, wParam, lParam);
    }
}

void RegisterOnce() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ViewProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

}  // namespace

HWND CreateTextureView(HWND parent, int id) {
    RegisterOnce();
    const HWND view = CreateWindowExW(
        WS_EX_CLIENTEDGE, kClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (view) SetWindowLongPtrW(view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new ViewState));
    return view;
}

void ShowInTextureView(HWND view, operations::TexturePicture picture, bool fitted) {
    ViewState* state = State(view);
    if (!state) return;
    state->picture = std::move(picture);
    state->fitted = fitted;
    InvalidateRect(view, nullptr, FALSE);
}

const operations::TexturePicture* TextureViewPicture(HWND view) {
    const ViewState* state = State(view);
    return state ? &state->picture : nullptr;
}

}  // namespace sorrelwick::ui
