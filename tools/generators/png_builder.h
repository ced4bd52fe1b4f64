#pragma once
// Builds PNG images, as image editors save them, for tests and fuzz seeds.

#include <cstdint>
#include <vector>

#include "generators/tga_builder.h"

namespace sorrelwick::gen {

// A PNG of `channels` 8-bit channels (1 grey, 2 grey and alpha, 3 RGB,
// 4 RGBA) whose pixel (x, y) is `pixel`: grey takes the red value.
std::vector<std::uint8_t> MakePng(std::uint32_t width, std::uint32_t height, int channels,
                                  const PixelFunction& pixel);

// The same picture as an interlaced PNG: the seven passes of the Adam7
// scheme, each row with filter 0, the data deflated with the fixed code and
// matches of repeated bytes.
std::vector<std::uint8_t> MakeInterlacedPng(std::uint32_t width, std::uint32_t height, int channels,
                                            const PixelFunction& pixel);

// Small PNG files of every channel count, one whose sides are no power of
// two and one cut short.
std::vector<std::vector<std::uint8_t>> SamplePngs();

}  // namespace sorrelwick::gen
