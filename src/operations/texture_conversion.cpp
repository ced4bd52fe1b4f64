#include "operations/texture_conversion.h"

#include <bit>
#include <new>
#include <optional>
#include <utility>

#include "format/editor_image.h"
#include "format/image_scaling.h"
#include "format/tga_encoder.h"
#include "format/tga_header.h"
#include "format/tga_image.h"

namespace sorrelwick::operations {
namespace {

// A side of 0 is refused like any other that is not a power of two.
bool IsPowerOfTwo(std::uint32_t value) {
    return std::has_single_bit(value);
}

Conversion Failed(ConversionOutcome outcome) {
    return {outcome, {}, {}, 0, 0, false};
}

// What the conversion aims at: the stored texture's form and sides.
struct Target {
    format::TgaForm form;
    std::uint32_t width = 0, height = 0;
    bool fit = false;
};

// Sides that can't be taken as they are: not to be fitted, and not powers
// of two.
std::optional<Conversion> RefusedSides(const Target& target, std::uint32_t width,
                                       std::uint32_t height) {
    if (target.fit || (IsPowerOfTwo(width) && IsPowerOfTwo(height))) return std::nullopt;
    return Conversion{ConversionOutcome::WrongSize, {}, {}, width, height, false};
}

std::string OriginName(std::uint8_t descriptor) {
    const bool top = (descriptor & format::kTopToBottomBit) != 0;
    const bool right = (descriptor & format::kRightToLeftBit) != 0;
    return std::string(top ? "top" : "bottom") + (right ? "-right" : "-left") + " origin";
}

// What a .tga file was, by the first of depth, image type and origin that
// differs from the stored form; empty when none does.
std::string FormDifference(const format::TgaForm& file, const format::TgaForm& stored) {
    if (file.depth != stored.depth) return std::to_string(file.depth) + " bits";
    if (file.imageType != stored.imageType) return "image type " + std::to_string(file.imageType);
    if (format::SameForm(file, stored)) return {};
    return OriginName(file.descriptor);
}

// The decoded picture in the target's form, scaled first when it is to be
// fitted and its sides differ.
Conversion Encoded(const format::DecodedImage& image, const Target& target, std::string from) {
    const bool scale = target.fit && (image.width != target.width || image.height != target.height);
    try {
        std::optional<format::DecodedImage> scaled;
        if (scale) {
            scaled = format::ScaleImage(image, target.width, target.height);
            if (!scaled) return Failed(ConversionOutcome::NoMemory);
        }
        return {ConversionOutcome::Converted, format::EncodeTga(scaled ? *scaled : image, target.form),
                std::move(from), image.width, image.height, scale};
    } catch (const std::bad_alloc&) {
        return Failed(ConversionOutcome::NoMemory);
    }
}

Conversion FromEditorImage(format::Bytes file, const Target& target) {
    const std::optional<format::ImageSides> sides = format::ReadDeclaredSides(file);
    if (!sides) return Failed(ConversionOutcome::Unreadable);
    if (auto refused = RefusedSides(target, sides->width, sides->height)) return *refused;
    const format::ImageDecodeResult decoded = format::DecodeEditorImage(file);
    if (decoded.outcome != format::ImageOutcome::Decoded) {
        return Failed(ConversionOutcome::Unreadable);
    }
    return Encoded(decoded.image, target,
                   std::string(format::FormatName(format::DetectImageFormat(file))));
}

Conversion FromTga(format::Bytes file, const Target& target) {
    const std::optional<format::TgaHeader> header = format::ReadTgaHeader(file);
    // A file too short for its header goes the usual way, which refuses it.
    if (!header) return {};
    const bool sameSides = header->width == target.width && header->height == target.height;
    if (format::SameForm(format::FormOf(*header), target.form) && (!target.fit || sameSides)) {
        return {};
    }
    if (auto refused = RefusedSides(target, header->width, header->height)) return *refused;
    const format::DecodeResult decoded = format::DecodeTga(file);
    switch (decoded.outcome) {
        case format::DecodeOutcome::Decoded:
            return Encoded(decoded.image, target,
                           FormDifference(format::FormOf(*header), target.form));
        case format::DecodeOutcome::TooLarge:
            return Failed(ConversionOutcome::NoMemory);
        default:
            return Failed(ConversionOutcome::Unreadable);
    }
}

}  // namespace

Conversion ConvertToStoredForm(format::Bytes file, format::Bytes stored, bool fit) {
    const std::optional<format::TgaHeader> storedHeader = format::ReadTgaHeader(stored);
    if (!storedHeader) return {};  // too short to be a texture the tool replaces
    const Target target{format::FormOf(*storedHeader), storedHeader->width, storedHeader->height,
                        fit && storedHeader->width > 0 && storedHeader->height > 0};
    const bool tga = format::DetectImageFormat(file) == format::ImageFormat::Tga;
    if (!format::CanEncode(target.form)) {
        // Another format can't be taken as it is.
        return tga ? Conversion{} : Failed(ConversionOutcome::Unreadable);
    }
    return tga ? FromTga(file, target) : FromEditorImage(file, target);
}

}  // namespace sorrelwick::operations
