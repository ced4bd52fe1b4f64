// Decodes any bytes as a TGA image. A supported image decodes whole exactly
// when the completeness check finds it complete, gives four bytes for each
// pixel of its header's size whether whole or cut short, and decodes to the
// same pixels with bytes appended after it.

#include <cstdint>

#include "format/tga_image.h"
#include "fuzz/harness.h"

using namespace sorrelwick;
using format::DecodeOutcome;
using format::ImageCompleteness;

namespace {

// Larger images only cost time: their bytes are decoded the same way.
constexpr std::uint64_t kMostPixelsDecoded = std::uint64_t{2048} * 2048;

std::uint32_t U16(fuzz::ByteView tga, std::size_t at) {
    return tga[at] | std::uint32_t{tga[at + 1]} << 8;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ByteView tga(data, size);
    if (size >= 18) {
        const std::uint64_t pixels = std::uint64_t{U16(tga, 12)} * U16(tga, 14);
        if (pixels > kMostPixelsDecoded && pixels * 4 <= format::kMaxDecodedBytes) return 0;
    }
    const format::DecodeResult result = format::DecodeTga(tga);
    const ImageCompleteness completeness = format::CheckImageCompleteness(tga);
    const format::DecodedImage& image = result.image;
    switch (result.outcome) {
        case DecodeOutcome::Decoded:
        case DecodeOutcome::CutShort: {
            fuzz::Require((result.outcome == DecodeOutcome::Decoded) ==
                              (completeness == ImageCompleteness::Complete),
                          "decoding and the completeness check disagree");
            fuzz::Require(image.width == U16(tga, 12) && image.height == U16(tga, 14) &&
                              image.rgba.size() == std::uint64_t{image.width} * image.height * 4,
                          "decoded size differs from the header's");
            break;
        }
        case DecodeOutcome::TooLarge:
        case DecodeOutcome::UnsupportedType:
        case DecodeOutcome::BadHeader:
            fuzz::Require(image.rgba.empty(), "an image that was not decoded has pixels");
            return 0;
    }
    if (result.outcome != DecodeOutcome::Decoded) return 0;
    fuzz::Bytes footed(tga.begin(), tga.end());
    footed.insert(footed.end(), {0x54, 0x52, 0x55});
    const format::DecodeResult again = format::DecodeTga(footed);
    fuzz::Require(again.outcome == DecodeOutcome::Decoded && again.image.rgba == image.rgba,
                  "bytes after the image changed the decoded pixels");
    return 0;
}
