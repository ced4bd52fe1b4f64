// Decodes any bytes as a PNG, and converts them to a 32-bit texture's form.
// The decoder gives exactly the sides its header declares, never more than
// the largest side it is given, and the conversion writes a complete image
// that decodes to the same pixels.

#include <cstdint>
#include <vector>

#include "format/png_image.h"
#include "format/tga_image.h"
#include "fuzz/harness.h"
#include "generators/tga_builder.h"
#include "operations/texture_conversion.h"

using namespace sorrelwick;
using format::PngOutcome;

namespace {

// The decoder's largest side for fuzzing. A few bytes of compressed data can
// declare a picture up to the real largest side, and allocating and filling
// that would take most of the fuzzing time, while the code paths are the
// same for any size; every picture decoded is then converted and decoded
// again.
constexpr std::uint32_t kMaxSide = 256;

void RequireConvertedAlike(const fuzz::ByteView input, const format::DecodedImage& image) {
    static const std::vector<std::uint8_t> stored = gen::MakeTga(2, 2, 32);
    const operations::Conversion conversion = operations::ConvertToStoredForm(input, stored);
    const bool powerOfTwo =
        (image.width & (image.width - 1)) == 0 && (image.height & (image.height - 1)) == 0;
    fuzz::Require(conversion.outcome == (powerOfTwo ? operations::ConversionOutcome::Converted
                                                    : operations::ConversionOutcome::WrongSize),
                  "a decodable PNG was not converted, or its sides not refused");
    if (!powerOfTwo) return;
    fuzz::Require(
        format::CheckImageCompleteness(conversion.image) == format::ImageCompleteness::Complete,
        "the converted image is not complete");
    const format::DecodeResult again = format::DecodeTga(conversion.image);
    fuzz::Require(again.outcome == format::DecodeOutcome::Decoded && again.image.rgba == image.rgba,
                  "the converted image holds other pixels");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ByteView input(data, size);
    const auto sides = format::ReadPngSides(input);
    const format::PngDecodeResult result = format::DecodePng(input, kMaxSide);
    if (result.outcome != PngOutcome::Decoded) {
        fuzz::Require(result.image.rgba.empty(), "pixels given without a picture");
        fuzz::Require(result.outcome != PngOutcome::TooLarge ||
                          (sides && (sides->width > kMaxSide || sides->height > kMaxSide)),
                      "an image within the largest side refused as too large");
        return 0;
    }
    fuzz::Require(
        sides && result.image.width == sides->width && result.image.height == sides->height,
        "decoded sides differ from the header");
    fuzz::Require(sides->width <= kMaxSide && sides->height <= kMaxSide,
                  "a side above the largest was decoded");
    fuzz::Require(result.image.rgba.size() == std::size_t{sides->width} * sides->height * 4,
                  "decoded pixels are not width x height");
    RequireConvertedAlike(input, result.image);
    return 0;
}
