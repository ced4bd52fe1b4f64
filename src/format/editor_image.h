#pragma once
// Pictures as image editors save them: PNG, BMP, JPEG, PSD (its composited
// image, format/psd_composite.h) and GIF (its first frame), read to 8-bit
// RGBA. Every file is
// untrusted input: its declared sides are read and checked before anything
// is decoded, and a file whose data ends before its picture does is refused
// rather than shown with invented pixels.

#include <cstdint>
#include <optional>
#include <string_view>

#include "format/byte_fields.h"
#include "format/tga_image.h"

namespace sorrelwick::format {

// TGA has no signature: it is whatever is none of the others.
enum class ImageFormat { Tga, Png, Bmp, Jpeg, Psd, Gif };

// By the file's first bytes.
ImageFormat DetectImageFormat(Bytes file);

// "PNG", "BMP", "JPEG", "PSD", "GIF", "TGA".
std::string_view FormatName(ImageFormat format);

// The largest side decoded; no picture takes more than
// kMaxEditorSide x kMaxEditorSide x 4 bytes.
inline constexpr std::uint32_t kMaxEditorSide = 16384;

struct ImageSides {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The sides the header of a PNG, BMP, JPEG, PSD or GIF declares, without
// decoding anything; nullopt for a TGA or a header that can't be read.
std::optional<ImageSides> ReadDeclaredSides(Bytes file);

enum class ImageOutcome { Decoded, Unreadable, CutShort, TooLarge };

struct ImageDecodeResult {
    ImageOutcome outcome = ImageOutcome::Unreadable;
    DecodedImage image;  // empty unless Decoded
};

// Decodes a PNG, BMP, JPEG, PSD or GIF (a TGA is Unreadable here). A side
// above `maxSide` is TooLarge before anything is decoded; the fuzz target
// sets a small one. A file whose data ends early (a JPEG without its end
// marker, a GIF without its trailer, a BMP or PSD shorter than its pixels)
// is CutShort. No allocation made while decoding is larger than an honest
// image of the declared sides needs.
ImageDecodeResult DecodeEditorImage(Bytes file, std::uint32_t maxSide = kMaxEditorSide);

}  // namespace sorrelwick::format
