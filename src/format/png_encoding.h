#pragma once
// PNG files of 8-bit pictures, written to memory.

#include <cstdint>
#include <vector>

#include "format/byte_fields.h"

namespace sorrelwick::format {

// The PNG file of a picture of `width` x `height` pixels, rows top to bottom,
// four bytes R, G, B, A a pixel. The same pixels always give the same bytes,
// on every system. Empty when the picture is empty, too large for the
// encoder (1 GiB of RGBA) or `rgba` does not match its size; throws
// std::bad_alloc when memory runs out.
std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, Bytes rgba);

// The same for `channels` bytes a pixel: 1 grey, 2 grey and alpha, 3 RGB or
// 4 RGBA. Empty also for any other channel count.
std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, int channels,
                                    Bytes samples);

}  // namespace sorrelwick::format
