#pragma once
// The one place the stb image decoder is compiled, for the formats image
// editors save: PNG, BMP, JPEG and GIF (TGA and PSD have decoders of their
// own).
// Every allocation it makes while decoding is refused above a cap the
// caller sets from the image's declared sides, so a hostile file can't make
// it take more memory than an honest image of those sides needs.

#include <cstdint>
#include <optional>

#include "format/byte_fields.h"
#include "format/tga_image.h"

namespace sorrelwick::format::detail {

struct StbSides {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int channels = 0;  // as the file stores them
};

// The sides the file's header declares, without decoding any pixel; nullopt
// when no format the decoder knows reads them, or one is 0.
std::optional<StbSides> StbDeclaredSides(Bytes file);

// The whole image as 8-bit RGBA, no allocation larger than `allocationCap`
// bytes; nullopt when it can't be decoded, its sides are not `expected`, or
// an allocation was refused. The result's own pixels may throw
// std::bad_alloc.
std::optional<DecodedImage> StbDecodeRgba(Bytes file, const StbSides& expected,
                                          std::uint64_t allocationCap);

}  // namespace sorrelwick::format::detail
