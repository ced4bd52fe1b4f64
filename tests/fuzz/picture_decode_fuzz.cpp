// Decodes any bytes as a picture an editor saved (BMP, JPEG, PSD, GIF, and
// PNG through the same door), and fits it to a texture's form. The decoder
// gives exactly the sides the header declares, never above the largest
// side it is given, nothing for a file cut short; and the fitted texture is
// a complete image of the texture's own sides.

#include <cstdint>
#include <vector>

#include "format/editor_image.h"
#include "format/tga_image.h"
#include "fuzz/harness.h"
#include "generators/tga_builder.h"
#include "operations/texture_conversion.h"

using namespace sorrelwick;
using format::ImageOutcome;

namespace {

// As for PNG: a few bytes can declare a picture of the largest side, and
// decoding that would take the fuzzing time; the paths are the same.
constexpr std::uint32_t kMaxSide = 256;

void RequireFitted(const fuzz::ByteView input) {
    static const std::vector<std::uint8_t> stored = gen::MakeTga(4, 2, 32);
    const operations::Conversion fitted = operations::ConvertToStoredForm(input, stored, true);
    fuzz::Require(fitted.outcome == operations::ConversionOutcome::Converted,
                  "a decodable picture was not fitted");
    const format::DecodeResult again = format::DecodeTga(fitted.image);
    fuzz::Require(again.outcome == format::DecodeOutcome::Decoded && again.image.width == 4 &&
                      again.image.height == 2,
                  "the fitted image is not whole at the texture's sides");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ByteView input(data, size);
    const auto sides = format::ReadDeclaredSides(input);
    const format::ImageDecodeResult result = format::DecodeEditorImage(input, kMaxSide);
    if (result.outcome != ImageOutcome::Decoded) {
        fuzz::Require(result.image.rgba.empty(), "pixels given without a picture");
        fuzz::Require(result.outcome != ImageOutcome::TooLarge ||
                          (sides && (sides->width > kMaxSide || sides->height > kMaxSide)),
                      "a picture within the largest side refused as too large");
        return 0;
    }
    fuzz::Require(
        sides && result.image.width == sides->width && result.image.height == sides->height,
        "decoded sides differ from the header");
    fuzz::Require(sides->width <= kMaxSide && sides->height <= kMaxSide,
                  "a side above the largest was decoded");
    fuzz::Require(result.image.rgba.size() == std::size_t{sides->width} * sides->height * 4,
                  "decoded pixels are not width x height");
    RequireFitted(input);
    return 0;
}
