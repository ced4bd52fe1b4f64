#include "operations/texture_conversion.h"

#include <bit>
#include <new>
#include <optional>

#include "format/png_image.h"
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
    return {outcome, {}, {}, 0, 0};
}

std::optional<Conversion> RefusedSides(std::uint32_t width, std::uint32_t height) {
    if (IsPowerOfTwo(width) && IsPowerOfTwo(height)) return std::nullopt;
    return Conversion{ConversionOutcome::WrongSize, {}, {}, width, height};
}

std::string OriginName(std::uint8_t descriptor) {
    const bool top = (descriptor & format::kTopToBottomBit) != 0;
    const bool right = (descriptor & format::kRightToLeftBit) != 0;
    return std::string(top ? "top" : "bottom") + (right ? "-right" : "-left") + " origin";
}

// What a .tga file was, by the first of depth, image type and origin that
// differs from the stored form.
std::string FormDifference(const format::TgaForm& file, const format::TgaForm& stored) {
    if (file.depth != stored.depth) return std::to_string(file.depth) + " bits";
    if (file.imageType != stored.imageType) return "image type " + std::to_string(file.imageType);
    return OriginName(file.descriptor);
}

Conversion Encoded(const format::DecodedImage& image, const format::TgaForm& form,
                   std::string from) {
    try {
        return {ConversionOutcome::Converted, format::EncodeTga(image, form), std::move(from), 0,
                0};
    } catch (const std::bad_alloc&) {
        return Failed(ConversionOutcome::NoMemory);
    }
}

Conversion FromPng(format::Bytes file, const format::TgaForm& form) {
    const std::optional<format::PngSides> sides = format::ReadPngSides(file);
    if (!sides) return Failed(ConversionOutcome::Unreadable);
    if (auto refused = RefusedSides(sides->width, sides->height)) return *refused;
    const format::PngDecodeResult decoded = format::DecodePng(file);
    if (decoded.outcome != format::PngOutcome::Decoded) {
        return Failed(ConversionOutcome::Unreadable);
    }
    return Encoded(decoded.image, form, "PNG");
}

Conversion FromTga(format::Bytes file, const format::TgaForm& form) {
    const std::optional<format::TgaHeader> header = format::ReadTgaHeader(file);
    // A file too short for its header goes the usual way, which refuses it.
    if (!header || format::SameForm(format::FormOf(*header), form)) return {};
    if (auto refused = RefusedSides(header->width, header->height)) return *refused;
    const format::DecodeResult decoded = format::DecodeTga(file);
    switch (decoded.outcome) {
        case format::DecodeOutcome::Decoded:
            return Encoded(decoded.image, form, FormDifference(format::FormOf(*header), form));
        case format::DecodeOutcome::TooLarge:
            return Failed(ConversionOutcome::NoMemory);
        default:
            return Failed(ConversionOutcome::Unreadable);
    }
}

}  // namespace

Conversion ConvertToStoredForm(format::Bytes file, format::Bytes stored) {
    const std::optional<format::TgaHeader> storedHeader = format::ReadTgaHeader(stored);
    if (!storedHeader) return {};  // too short to be a texture the tool replaces
    const format::TgaForm form = format::FormOf(*storedHeader);
    const bool png = format::HasPngSignature(file);
    if (!format::CanEncode(form)) {
        // A PNG can't be taken as it is.
        return png ? Failed(ConversionOutcome::Unreadable) : Conversion{};
    }
    return png ? FromPng(file, form) : FromTga(file, form);
}

}  // namespace sorrelwick::operations
