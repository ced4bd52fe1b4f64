#pragma once
// The checks every image passes before it takes a texture's place in a set,
// wherever it comes from (a file, a mod): the texture's stored colour depth,
// sides that are powers of two (0 is none), and every pixel its header
// declares.

#include <cstdint>
#include <string>
#include <string_view>

#include "format/byte_fields.h"
#include "format/tga_fields.h"

namespace sorrelwick::operations {

enum class ImageFit { Fits, WrongDepth, WrongSize, CutShort };

struct ImageVerdict {
    ImageFit fit = ImageFit::CutShort;
    format::TgaFields found{};  // the image's own fields; zero when it has none
};

// Whether `image` may stand in place of a texture stored at `storedDepth`
// bits per pixel. An image too short for its header is cut short.
ImageVerdict CheckImageFit(format::Bytes image, unsigned storedDepth);

// The words for a refused image: "wrong color depth (8 bits)",
// "wrong size (3x5)", "image data cut short".
std::string ImageFitText(const ImageVerdict& verdict);

}  // namespace sorrelwick::operations
