#pragma once
// PNG images, read only as far as a texture needs: their sides, and their
// pixels as RGBA. PNG files are untrusted input like every other file.

#include <cstdint>
#include <optional>

#include "format/byte_fields.h"
#include "format/tga_image.h"

namespace sorrelwick::format {

// The largest side decoded; the pixels of a PNG never take more than
// kMaxPngSide x kMaxPngSide x 4 bytes.
inline constexpr std::uint32_t kMaxPngSide = 16384;

// Whether `bytes` begin with the eight bytes every PNG file begins with.
bool HasPngSignature(Bytes bytes);

struct PngSides {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int channels = 0;  // 1 grey, 2 grey and alpha, 3 colour, 4 colour and alpha
};

// The sides and channels its header declares, without decoding anything; nullopt when
// the header can't be read.
std::optional<PngSides> ReadPngSides(Bytes png);

enum class PngOutcome { Decoded, Unreadable, TooLarge };

struct PngDecodeResult {
    PngOutcome outcome = PngOutcome::Unreadable;
    DecodedImage image;  // empty unless Decoded
};

// Decodes a PNG of any colour type and bit depth to 8-bit RGBA (grey gives
// R = G = B, alpha 255 where none is stored). A side above `maxSide` is
// TooLarge before anything is decoded; the fuzz target sets a small one, so
// that a small file can't make every input a picture of a gigabyte. Never
// reads outside `png`; no allocation made while decoding is larger than the
// most of the image's raw data, width x height x 4 and twice the file's size
// (the compressed data gathered), and one that can't be had makes the image
// Unreadable.
PngDecodeResult DecodePng(Bytes png, std::uint32_t maxSide = kMaxPngSide);

}  // namespace sorrelwick::format
