#pragma once
// PNG files of 8-bit pictures, written to memory.

#include <cstdint>
#include <vector>

#include "format/byte_fields.h"

namespace sorrelwick::format {

// The PNG row filters the encoder can use, by their numbers in the file.
enum class PngFilter : std::uint8_t { None = 0, Sub = 1, Up = 2, Paeth = 4 };

// How pictures are encoded. The defaults are what pages and mods use: the
// fastest to write for files about as small as any of these settings give
// (the figures are in the README's performance section).
struct PngSettings {
    PngFilter filter = PngFilter::Paeth;
    int level = 3;  // zlib's deflate level, 1 to 9
};

// The PNG file of a picture of `width` x `height` pixels, rows top to bottom,
// four bytes R, G, B, A a pixel. The same pixels always give the same bytes
// with the same zlib. Empty when the picture is empty, too large for the
// encoder (1 GiB of RGBA) or `rgba` does not match its size; throws
// std::bad_alloc when memory runs out.
std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, Bytes rgba);

// The same for `channels` bytes a pixel: 1 grey, 2 grey and alpha, 3 RGB or
// 4 RGBA. Empty also for any other channel count.
std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, int channels,
                                    Bytes samples, const PngSettings& settings = {});

// The rows as the file holds them before deflate: each its filter's number,
// then its bytes less their prediction. For measuring the steps apart.
std::vector<std::uint8_t> FilterRows(std::uint32_t width, std::uint32_t height, int channels,
                                     Bytes samples, PngFilter filter);

}  // namespace sorrelwick::format
