#include "generators/tga_builder.h"

namespace sorrelwick::gen {
namespace {

constexpr std::size_t kTgaHeaderSize = 18;

void PutU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint8_t Grey(const Rgba& c) {
    return static_cast<std::uint8_t>((c.r * 30 + c.g * 59 + c.b * 11) / 100);
}

void AppendPixel(std::vector<std::uint8_t>& out, std::uint8_t depth, const Rgba& c) {
    switch (depth) {
        case 8:
            out.push_back(Grey(c));
            return;
        case 16: {
            const unsigned packed = unsigned{c.r} >> 3u << 10u | unsigned{c.g} >> 3u << 5u | unsigned{c.b} >> 3u;
            out.push_back(static_cast<std::uint8_t>(packed & 0xFF));
            out.push_back(static_cast<std::uint8_t>(packed >> 8u));
            return;
        }
        case 24:
            out.insert(out.end(), {c.b, c.g, c.r});
            return;
        case 32:
            out.insert(out.end(), {c.b, c.g, c.r, c.a});
            return;
        default:
            out.insert(out.end(), (depth + 7u) / 8u, Grey(c));
            return;
    }
}

}  // namespace

std::vector<std::uint8_t> MakeTga(std::uint16_t width, std::uint16_t height, std::uint8_t depth,
                                  const PixelFunction& pixel) {
    std::vector<std::uint8_t> image(kTgaHeaderSize, 0);
    image[2] = depth == 8 ? 3 : 2;  // uncompressed grey or true colour
    PutU16(image, 12, width);
    PutU16(image, 14, height);
    image[16] = depth;
    image[17] = static_cast<std::uint8_t>((depth == 32 ? 8 : 0) | 0x20);  // alpha bits, top-left
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) AppendPixel(image, depth, pixel(x, y));
    }
    return image;
}

std::vector<std::uint8_t> MakeTga(std::uint16_t width, std::uint16_t height, std::uint8_t depth,
                                  Rgba colour) {
    return MakeTga(width, height, depth, [colour](unsigned, unsigned) { return colour; });
}

}  // namespace sorrelwick::gen
