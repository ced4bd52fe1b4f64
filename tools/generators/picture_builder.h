#pragma once
// Pictures as image editors save them, besides PNG (png_builder.h): BMP and
// JPEG through the stb image writer, PSD and GIF built byte by byte from
// their layouts here. For tests and fuzz seeds.

#include <cstdint>
#include <vector>

#include "generators/tga_builder.h"

namespace sorrelwick::gen {

// An uncompressed BMP of 3 (24-bit) or 4 (32-bit, with alpha) channels.
std::vector<std::uint8_t> MakeBmp(std::uint32_t width, std::uint32_t height, int channels,
                                  const PixelFunction& pixel);

// A baseline JPEG of 1 (grey: the red value) or 3 channels at `quality`
// (1-100; above 90 the colour is not subsampled).
std::vector<std::uint8_t> MakeJpeg(std::uint32_t width, std::uint32_t height, int channels,
                                   const PixelFunction& pixel, int quality = 100);

// A PSD of 3 (RGB) or 4 (RGBA) 8-bit channels whose composited image holds
// the pixels: each channel's samples in turn, raw or packed in runs (each
// row on its own, as the format wants).
std::vector<std::uint8_t> MakePsd(std::uint32_t width, std::uint32_t height, int channels,
                                  const PixelFunction& pixel, bool runLength);

// A GIF of one frame. Its colour table holds the picture's colours in the
// order first met (at most 256, or std::invalid_argument); pixels of alpha
// 0 take one more entry, declared transparent. The image data is coded with
// a clear code often enough that every code keeps the first code size.
std::vector<std::uint8_t> MakeGif(std::uint16_t width, std::uint16_t height,
                                  const PixelFunction& pixel);

// Small pictures of each of these formats and forms, some with sides that
// are no power of two, and one of each cut short.
std::vector<std::vector<std::uint8_t>> SamplePictures();

}  // namespace sorrelwick::gen
