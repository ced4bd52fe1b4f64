#include "format/tga_fields.h"

namespace sorrelwick::format {

std::optional<TgaFields> ReadTgaFields(Bytes image) {
    if (image.size() < kMinTextureImageSize) return std::nullopt;
    return TgaFields{*U16At(image, 12), *U16At(image, 14), image[16]};
}

}  // namespace sorrelwick::format
