#include "ui/picture_bitmap.h"

#include <cstring>

#include "platform/win32/wide_text.h"

namespace sorrelwick::ui {
namespace {

// A DIB section of `width` x `height` and its pixels; null when refused.
OwnedBitmap NewSection(std::uint32_t width, std::uint32_t height, std::uint8_t*& pixels) {
    const BITMAPINFO header = TopDownHeader(width, height);
    void* bits = nullptr;
    OwnedBitmap bitmap(CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0));
    pixels = static_cast<std::uint8_t*>(bits);
    return bitmap && pixels ? std::move(bitmap) : OwnedBitmap();
}

}  // namespace

BITMAPINFO TopDownHeader(std::uint32_t width, std::uint32_t height) {
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = static_cast<LONG>(width);
    header.bmiHeader.biHeight = -static_cast<LONG>(height);
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    return header;
}

OwnedBitmap PictureBitmap(const operations::TexturePicture& picture) {
    if (picture.bgra.empty()) return {};
    std::uint8_t* pixels = nullptr;
    OwnedBitmap bitmap = NewSection(picture.width, picture.height, pixels);
    if (bitmap) std::memcpy(pixels, picture.bgra.data(), picture.bgra.size());
    return bitmap;
}

OwnedBitmap ReasonBitmap(std::string_view reason, int side, HFONT font) {
    std::uint8_t* pixels = nullptr;
    const auto length = static_cast<std::uint32_t>(side);
    OwnedBitmap bitmap = NewSection(length, length, pixels);
    const HDC dc = bitmap ? CreateCompatibleDC(nullptr) : nullptr;
    if (!dc) return {};
    const HGDIOBJ previousBitmap = SelectObject(dc, bitmap.get());
    const HGDIOBJ previousFont = font ? SelectObject(dc, font) : nullptr;
    RECT box = {0, 0, side, side};
    FillRect(dc, &box, GetSysColorBrush(COLOR_3DFACE));
    InflateRect(&box, -side / 16, -side / 16);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const std::wstring text = platform::WideForDisplay(reason);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    GdiFlush();
    // GDI leaves the alpha bytes as they were: the tile is opaque.
    for (std::size_t at = 3; at < std::size_t{length} * length * 4; at += 4) pixels[at] = 255;
    if (previousFont) SelectObject(dc, previousFont);
    SelectObject(dc, previousBitmap);
    DeleteDC(dc);
    return bitmap;
}

}  // namespace sorrelwick::ui
