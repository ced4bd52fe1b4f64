// Decodes any bytes as a TGA image. The decoder must agree with the
// completeness check, give exactly width x height pixels whenever it gives
// any, turn the picture over when only the origin bits differ, and give the
// same picture with bytes appended after a whole image.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "format/tga_header.h"
#include "format/tga_image.h"
#include "fuzz/harness.h"

using namespace sorrelwick;
using format::DecodeOutcome;

namespace {

// The decoder's cap for fuzzing: 64K pixels. A few bytes of run-length data
// can declare a picture up to the real cap, and allocating and filling that
// four times an input would take most of the fuzzing time, while the code
// paths are the same for any size.
constexpr std::uint64_t kMaxBytes = std::uint64_t{256} * 256 * 4;

format::DecodeResult Decode(fuzz::ByteView tga) {
    return format::DecodeTga(tga, kMaxBytes);
}

// `image` mirrored top to bottom (`vertical`) or left to right.
std::vector<std::uint8_t> Mirrored(const format::DecodedImage& image, bool vertical) {
    std::vector<std::uint8_t> mirrored(image.rgba.size());
    for (std::size_t y = 0; y < image.height; ++y) {
        for (std::size_t x = 0; x < image.width; ++x) {
            const std::size_t fromY = vertical ? image.height - 1 - y : y;
            const std::size_t fromX = vertical ? x : image.width - 1 - x;
            std::copy_n(
                image.rgba.begin() + static_cast<std::ptrdiff_t>((fromY * image.width + fromX) * 4),
                4, mirrored.begin() + static_cast<std::ptrdiff_t>((y * image.width + x) * 4));
        }
    }
    return mirrored;
}

void RequireSameWithFooter(const fuzz::ByteView input, const format::DecodedImage& image) {
    std::vector<std::uint8_t> footed(input.begin(), input.end());
    footed.insert(footed.end(), {0x54, 0x52, 0x55});
    const format::DecodeResult again = Decode(footed);
    fuzz::Require(again.outcome == DecodeOutcome::Decoded && again.image.rgba == image.rgba,
                  "bytes after the image changed the picture");
}

void RequireMirroredByOriginBit(const fuzz::ByteView input, const format::DecodedImage& image,
                                std::uint8_t bit) {
    std::vector<std::uint8_t> flipped(input.begin(), input.end());
    flipped[17] ^= bit;
    const format::DecodeResult other = Decode(flipped);
    fuzz::Require(other.image.rgba == Mirrored(image, bit == format::kTopToBottomBit),
                  "an origin bit did not mirror the picture");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ByteView input(data, size);
    const format::DecodeResult result = Decode(input);
    const format::ImageCompleteness completeness = format::CheckImageCompleteness(input);
    const auto header = format::ReadTgaHeader(input);

    const bool pictured =
        result.outcome == DecodeOutcome::Decoded || result.outcome == DecodeOutcome::CutShort;
    if (!pictured) {
        fuzz::Require(result.image.rgba.empty(), "pixels given without a picture");
        fuzz::Require(result.outcome != DecodeOutcome::TooLarge ||
                          std::uint64_t{header->width} * header->height * 4 > kMaxBytes,
                      "an image within the limit refused as too large");
        return 0;
    }
    fuzz::Require(result.image.width == header->width && result.image.height == header->height,
                  "decoded size differs from the header");
    fuzz::Require(result.image.rgba.size() == std::size_t{header->width} * header->height * 4,
                  "decoded pixels are not width x height");
    fuzz::Require(result.image.rgba.size() <= kMaxBytes, "an image above the limit was decoded");
    const bool whole = result.outcome == DecodeOutcome::Decoded;
    fuzz::Require(whole == (completeness == format::ImageCompleteness::Complete),
                  "decoder and completeness check disagree");
    RequireMirroredByOriginBit(input, result.image, format::kTopToBottomBit);
    RequireMirroredByOriginBit(input, result.image, format::kRightToLeftBit);
    if (whole) RequireSameWithFooter(input, result.image);
    return 0;
}
