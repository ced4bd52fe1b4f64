#pragma once
// The 18-byte header at the start of every TGA image.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "format/byte_fields.h"

namespace sorrelwick::format {

inline constexpr std::size_t kTgaHeaderSize = 18;

struct TgaHeader {
    std::uint8_t idLength = 0;        // byte 0: bytes of the ID field after the header
    std::uint8_t colourMapType = 0;   // byte 1: 1 when a colour map follows the ID field
    std::uint8_t imageType = 0;       // byte 2
    std::uint16_t mapFirstIndex = 0;  // bytes 3-4: the pixel value of the map's first entry
    std::uint16_t mapLength = 0;      // bytes 5-6: number of map entries
    std::uint8_t mapEntryBits = 0;    // byte 7
    std::uint16_t width = 0;          // bytes 12-13
    std::uint16_t height = 0;         // bytes 14-15
    std::uint8_t depth = 0;           // byte 16: bits per pixel
    std::uint8_t descriptor = 0;      // byte 17: attribute bits 0-3, right-to-left bit 4,
                                      // top-to-bottom bit 5
};

// Descriptor bits.
inline constexpr std::uint8_t kAttributeBitsMask = 0x0F;
inline constexpr std::uint8_t kRightToLeftBit = 0x10;
inline constexpr std::uint8_t kTopToBottomBit = 0x20;

// nullopt when the image is shorter than the header.
std::optional<TgaHeader> ReadTgaHeader(Bytes tga);

// Whole bytes taken by one value of `bits` bits: ceil(bits / 8).
inline constexpr std::size_t BytesForBits(unsigned bits) {
    return (bits + 7u) / 8u;
}

}  // namespace sorrelwick::format
