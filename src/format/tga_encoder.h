#pragma once
// Writes decoded pixels as an uncompressed TGA image of a chosen form: the
// counterpart of the decoder for the forms textures are stored in.

#include <cstdint>
#include <vector>

#include "format/tga_header.h"
#include "format/tga_image.h"

namespace sorrelwick::format {

// What a stored texture's image looks like, apart from its sides.
struct TgaForm {
    std::uint8_t imageType = 2;
    std::uint8_t depth = 24;
    std::uint8_t descriptor = 0;  // attribute bits and origin bits
};

// The form of an image, from its header.
TgaForm FormOf(const TgaHeader& header);

// Same depth, image type and origin (both origin bits).
bool SameForm(const TgaForm& a, const TgaForm& b);

// Forms EncodeTga writes: true colour (type 2) of 24 or 32 bits and grey
// (type 3) of 8 bits.
bool CanEncode(const TgaForm& form);

// The largest side a TGA header holds.
inline constexpr std::uint32_t kMaxTgaSide = 0xFFFF;

// The grey value of a colour: (299 R + 587 G + 114 B + 500) / 1000, the
// luminance weights of broadcast video, rounded to the nearest.
std::uint8_t Luminance(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// `image` as an uncompressed TGA of `form`: the 18-byte header (no ID
// field, no colour map; the descriptor's attribute and origin bits as
// `form` has them), then the pixels in the order its origin bits say.
// 24 bits drop the alpha, 32 bits keep it, 8-bit grey takes the luminance.
// Needs CanEncode(form) and sides of at most kMaxTgaSide; throws
// std::bad_alloc when the memory can't be had.
std::vector<std::uint8_t> EncodeTga(const DecodedImage& image, const TgaForm& form);

}  // namespace sorrelwick::format
