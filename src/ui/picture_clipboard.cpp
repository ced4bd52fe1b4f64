#include "ui/picture_clipboard.h"

#include <cstring>
#include <string>

#include "platform/win32/wide_text.h"

namespace sorrelwick::ui {
namespace {

// Moveable global memory holding `header` and the rows bottom-up, as a
// DIB on the clipboard has them; null when refused.
template <typename Header>
HGLOBAL DibMemory(const Header& header, const operations::TexturePicture& picture) {
    const std::size_t row = std::size_t{picture.width} * 4;
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof header + row * picture.height);
    auto* bytes = memory ? static_cast<std::uint8_t*>(GlobalLock(memory)) : nullptr;
    if (!bytes) {
        if (memory) GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(bytes, &header, sizeof header);
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        std::memcpy(bytes + sizeof header + row * y,
                    picture.bgra.data() + row * (picture.height - 1 - y), row);
    }
    GlobalUnlock(memory);
    return memory;
}

HGLOBAL TextMemory(const std::wstring& text) {
    const std::size_t size = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    void* bytes = memory ? GlobalLock(memory) : nullptr;
    if (!bytes) {
        if (memory) GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(bytes, text.c_str(), size);
    GlobalUnlock(memory);
    return memory;
}

// Hands `memory` to the clipboard, which then owns it.
void Offer(UINT format, HGLOBAL memory) {
    if (memory && !SetClipboardData(format, memory)) GlobalFree(memory);
}

}  // namespace

bool CopyTexture(HWND owner, const operations::TexturePicture& picture, std::string_view name) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    if (!picture.bgra.empty()) {
        BITMAPV5HEADER v5 = {};
        v5.bV5Size = sizeof v5;
        v5.bV5Width = static_cast<LONG>(picture.width);
        v5.bV5Height = static_cast<LONG>(picture.height);
        v5.bV5Planes = 1;
        v5.bV5BitCount = 32;
        v5.bV5Compression = BI_BITFIELDS;
        v5.bV5SizeImage = picture.width * picture.height * 4;
        v5.bV5RedMask = 0x00FF0000;
        v5.bV5GreenMask = 0x0000FF00;
        v5.bV5BlueMask = 0x000000FF;
        v5.bV5AlphaMask = 0xFF000000;
        v5.bV5CSType = 0x73524742;  // 'sRGB'
        v5.bV5Intent = LCS_GM_IMAGES;
        Offer(CF_DIBV5, DibMemory(v5, picture));
        BITMAPINFOHEADER plain = {};
        plain.biSize = sizeof plain;
        plain.biWidth = v5.bV5Width;
        plain.biHeight = v5.bV5Height;
        plain.biPlanes = 1;
        plain.biBitCount = 32;
        plain.biCompression = BI_RGB;
        plain.biSizeImage = v5.bV5SizeImage;
        Offer(CF_DIB, DibMemory(plain, picture));
    }
    Offer(CF_UNICODETEXT, TextMemory(platform::WideForDisplay(name)));
    CloseClipboard();
    return true;
}

}  // namespace sorrelwick::ui
