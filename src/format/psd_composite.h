#pragma once
// The composited image of a PSD file: the picture all its layers make,
// which the file keeps after its layers, as planes of one channel each
// (raw, or each row packed in runs). Read here rather than by the stb
// decoder of 2.27, whose conversion of semi-transparent pixels overflows
// (undefined behaviour, found by fuzzing).

#include <optional>

#include "format/byte_fields.h"
#include "format/tga_image.h"

namespace sorrelwick::format {

struct PsdSides {
    std::uint32_t width = 0, height = 0;
};

// The sides of an RGB PSD of 8 or 16 bits a sample with 1 to 16 channels;
// nullopt for any other, or a header cut short.
std::optional<PsdSides> ReadPsdSides(Bytes psd);

// Its composited image as RGBA: the first three channels the colour, the
// fourth (when there is one) the alpha, 16-bit samples by their high byte.
// As the format keeps colour matted against white where alpha is partial,
// that matte is taken out: c = (c - (255 - a)) x 255 / a, held to 0..255.
// nullopt when the data ends early or does not unpack to the image. Never
// reads outside `psd`; throws std::bad_alloc when the pixels can't be had.
std::optional<DecodedImage> DecodePsdComposite(Bytes psd);

}  // namespace sorrelwick::format
