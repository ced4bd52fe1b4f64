#pragma once
// The three TGA header fields the tool reads from a texture image.

#include <cstdint>
#include <optional>

#include "format/byte_fields.h"

namespace sorrelwick::format {

// A texture image needs at least this many bytes to hold its depth field.
inline constexpr std::size_t kMinTextureImageSize = 17;

struct TgaFields {
    std::uint16_t width = 0;   // bytes 12-13
    std::uint16_t height = 0;  // bytes 14-15
    std::uint8_t depth = 0;    // byte 16, bits per pixel
    friend bool operator==(const TgaFields&, const TgaFields&) = default;
};

// nullopt when the image is shorter than kMinTextureImageSize.
std::optional<TgaFields> ReadTgaFields(Bytes image);

}  // namespace sorrelwick::format
