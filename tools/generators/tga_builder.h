#pragma once
// Builds uncompressed TGA images (image type 2, or 3 for 8-bit grey) with an
// 18-byte header: any width, height and depth.

#include <cstdint>
#include <functional>
#include <vector>

namespace sorrelwick::gen {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
};

// The colour of pixel (x, y), y counted from the top.
using PixelFunction = std::function<Rgba(unsigned x, unsigned y)>;

// Pixels come from `pixel`; the depth decides how many bytes each takes
// (8: grey, 16: 5-5-5, 24: BGR, 32: BGRA; any other depth: depth/8 bytes,
// rounded up, of the grey value).
std::vector<std::uint8_t> MakeTga(std::uint16_t width, std::uint16_t height, std::uint8_t depth,
                                  const PixelFunction& pixel);

// A plain image of one colour.
std::vector<std::uint8_t> MakeTga(std::uint16_t width, std::uint16_t height, std::uint8_t depth,
                                  Rgba colour = {128, 128, 128, 255});

}  // namespace sorrelwick::gen
