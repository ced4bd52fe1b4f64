#pragma once
// Whether a TGA image holds every byte its header declares, and its pixels.
// Both walk the image data the same way (format/tga_pixel_walk.h), so a
// file that is complete is exactly one the decoder can read to its end.

#include <cstdint>
#include <vector>

#include "format/byte_fields.h"

namespace sorrelwick::format {

// NotChecked: an image type other than 1, 2, 3 (colour-mapped, true-colour,
// grey) and 9, 10, 11 (their run-length forms), or fewer than 3 bytes, too
// few to hold the type. An image of a checked type that ends within its
// 18-byte header is CutShort.
enum class ImageCompleteness { Complete, CutShort, NotChecked };

// Types 1, 2 and 3 need 18 + ID length + colour map (colour-map type 1:
// entries x ceil(entry bits / 8)) + width x height x ceil(depth / 8) bytes;
// types 9, 10 and 11 need the ID field, the colour map and run-length
// packets covering width x height pixels before the end. Bytes after the
// image (a footer, an extension area) are fine.
ImageCompleteness CheckImageCompleteness(Bytes tga);

struct DecodedImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // Rows top to bottom, each left to right, four bytes R, G, B, A a pixel.
    std::vector<std::uint8_t> rgba;
    // The stored values carry an alpha channel (32 bits, or 16 with one
    // attribute bit); otherwise every alpha is 255 but where data is missing.
    bool alpha = false;
};

enum class DecodeOutcome {
    Decoded,
    CutShort,         // the data ends early: the pixels before the end, the rest (0,0,0,0)
    UnsupportedType,  // an image type, depth or colour-map entry size not decoded here
    BadHeader,        // fewer than 18 bytes, or a colour-mapped type without a colour map
    TooLarge,         // more RGBA bytes than the cap (nothing allocated), or than memory holds
};

// The most RGBA bytes the decoder allocates unless told a smaller cap:
// 8192 x 8192 pixels.
inline constexpr std::uint64_t kMaxDecodedBytes = std::uint64_t{8192} * 8192 * 4;

struct DecodeResult {
    DecodeOutcome outcome = DecodeOutcome::BadHeader;
    DecodedImage image;  // empty unless Decoded or CutShort
};

// Decodes image types 1, 2, 3, 9, 10 and 11:
// - true colour of 15, 16, 24 and 32 bits, grey of 8 bits (R = G = B),
//   colour indices of 8 or 16 bits into a map of 15, 16, 24 or 32-bit
//   entries, counted from the map's first index; an index outside the map
//   gives (0,0,0,0);
// - 15 and 16-bit values are 5-5-5 with the top bit as attribute: it is the
//   alpha (set = opaque) only for 16-bit values when the descriptor declares
//   exactly one attribute bit, otherwise every such pixel is opaque;
// - 32-bit values are B, G, R, A: the fourth byte is always the alpha;
// - both vertical origins and right-to-left rows.
// Never reads outside `tga`. An image of more than `maxBytes` RGBA bytes is
// TooLarge; the fuzz target sets a small cap, so that a few bytes of
// run-length data can't make every input a picture of 256 MiB.
DecodeResult DecodeTga(Bytes tga, std::uint64_t maxBytes = kMaxDecodedBytes);

}  // namespace sorrelwick::format
