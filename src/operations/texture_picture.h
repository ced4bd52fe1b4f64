#pragma once
// A texture's picture as a window draws it: 32-bit pixels, blue, green, red
// and alpha, premultiplied, rows from the top. Made from the same decoding
// as the preview page's pictures, with the page's reasons when there is none.

#include <cstdint>
#include <string>
#include <vector>

#include "format/byte_fields.h"
#include "format/tga_image.h"

namespace sorrelwick::operations {

// What of a texture with an alpha channel is shown: its colour alone
// (opaque), its alpha as grey, or both, the colour over a checkerboard where
// it is transparent.
enum class ChannelView { Colour, Alpha, Both };

struct TexturePicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> bgra;  // width x height x 4; empty without a picture
    bool alpha = false;              // the texture has an alpha channel
    std::string reason;              // why there is no picture; empty when there is one
};

// The checkerboard's squares, in picture pixels.
inline constexpr std::uint32_t kCheckerSquare = 8;

// Every picture below is made for any bytes: it has pixels (width x height
// of them, both sides at least 1) or the reason the preview page gives for
// having none (a side of 0, a depth not drawn, too large to show...).
// `maxBytes` bounds the decoded picture.

// The texture's picture at its own size. Throws std::bad_alloc when memory
// runs out.
TexturePicture MakeTexturePicture(format::Bytes tga, ChannelView view = ChannelView::Both,
                                  std::uint64_t maxBytes = format::kMaxDecodedBytes);

// The texture's pixels as stored, alpha not applied (not premultiplied):
// what another program takes from the clipboard. Throws std::bad_alloc.
TexturePicture MakeUnblendedPicture(format::Bytes tga,
                                    std::uint64_t maxBytes = format::kMaxDecodedBytes);

// The texture's picture scaled to fit a `side` x `side` square, small ones
// enlarged too, each pixel taken from the nearest (no smoothing), centred;
// the square's pixels outside the picture are transparent. The checkerboard
// is laid at the square's size, whatever the texture's.
TexturePicture MakeTileTexturePicture(format::Bytes tga, std::uint32_t side,
                                      std::uint32_t checkerSquare = kCheckerSquare,
                                      std::uint64_t maxBytes = format::kMaxDecodedBytes);

// `picture`, `width` x `height` pixels, with each pixel taken from the
// nearest of `picture` (no smoothing); without pixels when `picture` has
// none or a side asked for is 0.
TexturePicture ScaledNearest(const TexturePicture& picture, std::uint32_t width,
                             std::uint32_t height);

}  // namespace sorrelwick::operations
