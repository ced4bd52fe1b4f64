#include "format/tga_encoder.h"

#include <cstddef>

namespace sorrelwick::format {
namespace {

constexpr std::uint8_t kOriginBits = kTopToBottomBit | kRightToLeftBit;
// Bits 6 and 7 ask for interleaved rows, which this encoder never writes.
constexpr std::uint8_t kWrittenDescriptorBits = kAttributeBitsMask | kOriginBits;

void PutLittle16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// Appends one pixel, `rgba` pointing at its four bytes.
void PutPixel(std::vector<std::uint8_t>& out, const std::uint8_t* rgba, std::uint8_t depth) {
    if (depth == 8) {
        out.push_back(Luminance(rgba[0], rgba[1], rgba[2]));
        return;
    }
    out.push_back(rgba[2]);
    out.push_back(rgba[1]);
    out.push_back(rgba[0]);
    if (depth == 32) out.push_back(rgba[3]);
}

}  // namespace

TgaForm FormOf(const TgaHeader& header) {
    return {header.imageType, header.depth, header.descriptor};
}

bool SameForm(const TgaForm& a, const TgaForm& b) {
    return a.imageType == b.imageType && a.depth == b.depth &&
           (a.descriptor & kOriginBits) == (b.descriptor & kOriginBits);
}

bool CanEncode(const TgaForm& form) {
    return (form.imageType == 2 && (form.depth == 24 || form.depth == 32)) ||
           (form.imageType == 3 && form.depth == 8);
}

std::uint8_t Luminance(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<std::uint8_t>((299u * r + 587u * g + 114u * b + 500u) / 1000u);
}

std::vector<std::uint8_t> EncodeTga(const DecodedImage& image, const TgaForm& form) {
    const std::size_t width = image.width, height = image.height;
    std::vector<std::uint8_t> out(kTgaHeaderSize, 0);
    out.reserve(kTgaHeaderSize + width * height * BytesForBits(form.depth));
    out[2] = form.imageType;
    PutLittle16(out, 12, image.width);
    PutLittle16(out, 14, image.height);
    out[16] = form.depth;
    out[17] = form.descriptor & kWrittenDescriptorBits;
    const bool topFirst = (form.descriptor & kTopToBottomBit) != 0;
    const bool rightFirst = (form.descriptor & kRightToLeftBit) != 0;
    for (std::size_t row = 0; row < height; ++row) {
        const std::size_t y = topFirst ? row : height - 1 - row;
        for (std::size_t column = 0; column < width; ++column) {
            const std::size_t x = rightFirst ? width - 1 - column : column;
            PutPixel(out, &image.rgba[(y * width + x) * 4], form.depth);
        }
    }
    return out;
}

}  // namespace sorrelwick::format
