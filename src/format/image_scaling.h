#pragma once
// Scales a picture to other sides with a proper filter, as a texture saved
// at another size is brought to the size stored in the set.

#include <cstdint>
#include <optional>

#include "format/tga_image.h"

namespace sorrelwick::format {

// `image` at `width` x `height` pixels (each at least 1). Colour is filtered
// in linear light (the pixels are sRGB), so a fine pattern of black and
// white becomes the grey it looks like, not a darker one. Alpha is filtered
// as a channel of its own, in proportion, and never weighs the colour: in
// a texture it is often a gloss or height mask, and the colour under a
// transparent pixel is as much the painter's as any other. nullopt when the
// memory can't be had.
std::optional<DecodedImage> ScaleImage(const DecodedImage& image, std::uint32_t width,
                                       std::uint32_t height);

}  // namespace sorrelwick::format
