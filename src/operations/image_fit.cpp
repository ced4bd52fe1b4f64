#include "operations/image_fit.h"

#include <bit>

#include "format/tga_image.h"
#include "report/messages.h"

namespace sorrelwick::operations {

ImageVerdict CheckImageFit(format::Bytes image, unsigned storedDepth) {
    const std::optional<format::TgaFields> fields = format::ReadTgaFields(image);
    if (!fields) return {};
    const format::TgaFields found = *fields;
    if (found.depth != storedDepth) return {ImageFit::WrongDepth, found};
    // A side of 0 is no power of two: a texture without pixels is no texture.
    if (!std::has_single_bit(found.width) || !std::has_single_bit(found.height)) {
        return {ImageFit::WrongSize, found};
    }
    if (format::CheckImageCompleteness(image) == format::ImageCompleteness::CutShort) {
        return {ImageFit::CutShort, found};
    }
    return {ImageFit::Fits, found};
}

std::string ImageFitText(const ImageVerdict& verdict) {
    switch (verdict.fit) {
        case ImageFit::WrongDepth:
            return report::msg::WrongDepthText(verdict.found.depth);
        case ImageFit::WrongSize:
            return report::msg::WrongSizeText(verdict.found.width, verdict.found.height);
        case ImageFit::CutShort:
            return std::string(report::msg::kFlagCutShort);
        case ImageFit::Fits:
            break;
    }
    return {};
}

}  // namespace sorrelwick::operations
