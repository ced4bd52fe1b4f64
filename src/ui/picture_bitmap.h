#pragma once
// A texture's picture as a bitmap the system draws: a 32-bit DIB section,
// rows from the top, premultiplied alpha.

#include <windows.h>

#include <memory>
#include <string_view>
#include <type_traits>

#include "operations/texture_picture.h"

namespace sorrelwick::ui {

struct BitmapRelease {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using OwnedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapRelease>;

// The header of a 32-bit picture of `width` x `height`, rows from the top.
BITMAPINFO TopDownHeader(std::uint32_t width, std::uint32_t height);

// The picture's pixels in a bitmap of their own; null when none could be
// made or the picture is empty.
OwnedBitmap PictureBitmap(const operations::TexturePicture& picture);

// A `side` x `side` tile that says `reason` in `font` on an opaque ground,
// for a texture without a picture.
OwnedBitmap ReasonBitmap(std::string_view reason, int side, HFONT font);

}  // namespace sorrelwick::ui
