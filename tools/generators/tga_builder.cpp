#include "generators/tga_builder.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace sorrelwick::gen {
namespace {

constexpr std::size_t kTgaHeaderSize = 18;
constexpr std::size_t kMaxPacketPixels = 128;

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
            const unsigned packed =
                unsigned{c.r} >> 3u << 10u | unsigned{c.g} >> 3u << 5u | unsigned{c.b} >> 3u;
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

// One stored value (a pixel or a map entry) and the colour it decodes to.
struct StoredValue {
    std::vector<std::uint8_t> bytes;
    Rgba decoded;
};

std::uint8_t Widen5(unsigned value) {
    return static_cast<std::uint8_t>(value << 3u | value >> 2u);
}

// `bits`: 8 (grey), 15, 16, 24 or 32.
StoredValue Store(const Rgba& c, unsigned bits, bool alphaBit) {
    switch (bits) {
        case 8: {
            const std::uint8_t grey = Grey(c);
            return {{grey}, {grey, grey, grey, 255}};
        }
        case 15:
        case 16: {
            const unsigned r = c.r >> 3u, g = c.g >> 3u, b = c.b >> 3u;
            // The top bit carries the alpha even where it is not declared as
            // such, so a decoder that wrongly reads it shows.
            const unsigned top = bits == 16 && c.a >= 128 ? 0x8000u : 0u;
            const unsigned packed = top | r << 10u | g << 5u | b;
            const bool opaque = !(bits == 16 && alphaBit) || top != 0;
            return {
                {static_cast<std::uint8_t>(packed & 0xFF), static_cast<std::uint8_t>(packed >> 8)},
                {Widen5(r), Widen5(g), Widen5(b), static_cast<std::uint8_t>(opaque ? 255 : 0)}};
        }
        case 24:
            return {{c.b, c.g, c.r}, {c.r, c.g, c.b, 255}};
        case 32:
            return {{c.b, c.g, c.r, c.a}, c};
        default:
            throw std::invalid_argument("no stored form for this depth");
    }
}

bool IsColourMapped(std::uint8_t type) {
    return type == 1 || type == 9;
}
bool IsRunLength(std::uint8_t type) {
    return type >= 9 && type <= 11;
}
bool IsColourDepth(unsigned bits) {
    return bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

void CheckLayout(const TgaLayout& layout) {
    const std::uint8_t base =
        IsRunLength(layout.imageType) ? layout.imageType - 8 : layout.imageType;
    const bool valid = (base == 1 && (layout.depth == 8 || layout.depth == 16) &&
                        IsColourDepth(layout.mapEntryBits)) ||
                       (base == 2 && IsColourDepth(layout.depth)) ||
                       (base == 3 && layout.depth == 8);
    if (!valid || layout.id.size() > 255) throw std::invalid_argument("layout not decodable");
}

// The values of a colour-mapped image: the map's entries in the order first
// met, and each pixel's index.
struct IndexedPixels {
    std::vector<StoredValue> map;
    std::vector<StoredValue> pixels;  // index bytes, decoded as their entry
};

IndexedPixels IndexColours(const TgaLayout& layout, const std::vector<Rgba>& colours) {
    IndexedPixels indexed;
    const unsigned limit = layout.depth == 8 ? 0xFFu : 0xFFFFu;
    for (const Rgba& colour : colours) {
        StoredValue entry = Store(colour, layout.mapEntryBits, layout.alphaBit);
        const auto found =
            std::find_if(indexed.map.begin(), indexed.map.end(),
                         [&](const StoredValue& v) { return v.bytes == entry.bytes; });
        const auto position = static_cast<unsigned>(found - indexed.map.begin());
        if (found == indexed.map.end()) indexed.map.push_back(entry);
        const unsigned index = layout.mapFirstIndex + position;
        if (index > limit) throw std::invalid_argument("too many colours for the index depth");
        StoredValue pixel{{static_cast<std::uint8_t>(index & 0xFF)}, indexed.map[position].decoded};
        if (layout.depth == 16) pixel.bytes.push_back(static_cast<std::uint8_t>(index >> 8));
        indexed.pixels.push_back(std::move(pixel));
    }
    return indexed;
}

std::uint8_t Descriptor(const TgaLayout& layout) {
    const unsigned valueBits =
        IsColourMapped(layout.imageType) ? layout.mapEntryBits : layout.depth;
    unsigned attributeBits = 0;
    if (valueBits == 32) attributeBits = 8;
    if (valueBits == 16 && layout.alphaBit) attributeBits = 1;
    return static_cast<std::uint8_t>(attributeBits | (layout.rightToLeft ? 0x10 : 0) |
                                     (layout.topToBottom ? 0x20 : 0));
}

// Greedy packets: two or more equal pixels repeat, anything else is literal.
void AppendRunLength(std::vector<std::uint8_t>& out, const std::vector<StoredValue>& stored) {
    const auto runFrom = [&](std::size_t at) {
        std::size_t end = at + 1;
        while (end < stored.size() && end - at < kMaxPacketPixels &&
               stored[end].bytes == stored[at].bytes) {
            ++end;
        }
        return end - at;
    };
    std::size_t at = 0;
    while (at < stored.size()) {
        const std::size_t run = runFrom(at);
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
            out.insert(out.end(), stored[at].bytes.begin(), stored[at].bytes.end());
            at += run;
            continue;
        }
        std::size_t end = at + 1;
        while (end < stored.size() && end - at < kMaxPacketPixels && runFrom(end) < 2) ++end;
        out.push_back(static_cast<std::uint8_t>(end - at - 1));
        for (; at < end; ++at)
            out.insert(out.end(), stored[at].bytes.begin(), stored[at].bytes.end());
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

BuiltTga BuildTga(const TgaLayout& layout, std::uint16_t width, std::uint16_t height,
                  const PixelFunction& pixel) {
    CheckLayout(layout);
    // The colours in file order: the first stored row is the bottom one
    // unless the image runs top to bottom, and each row may run right to left.
    std::vector<Rgba> fileOrder;
    for (unsigned row = 0; row < height; ++row) {
        for (unsigned column = 0; column < width; ++column) {
            const unsigned x = layout.rightToLeft ? width - 1u - column : column;
            const unsigned y = layout.topToBottom ? row : height - 1u - row;
            fileOrder.push_back(pixel(x, y));
        }
    }
    IndexedPixels values;
    if (IsColourMapped(layout.imageType)) {
        values = IndexColours(layout, fileOrder);
    } else {
        for (const Rgba& colour : fileOrder) {
            values.pixels.push_back(Store(colour, layout.depth, layout.alphaBit));
        }
    }

    BuiltTga built;
    std::vector<std::uint8_t>& file = built.file;
    file.assign(kTgaHeaderSize, 0);
    file[0] = static_cast<std::uint8_t>(layout.id.size());
    file[2] = layout.imageType;
    if (IsColourMapped(layout.imageType)) {
        file[1] = 1;
        PutU16(file, 3, layout.mapFirstIndex);
        PutU16(file, 5, static_cast<std::uint16_t>(values.map.size()));
        file[7] = layout.mapEntryBits;
    }
    PutU16(file, 12, width);
    PutU16(file, 14, height);
    file[16] = layout.depth;
    file[17] = Descriptor(layout);
    file.insert(file.end(), layout.id.begin(), layout.id.end());
    for (const StoredValue& entry : values.map) {
        file.insert(file.end(), entry.bytes.begin(), entry.bytes.end());
    }
    if (IsRunLength(layout.imageType)) {
        AppendRunLength(file, values.pixels);
    } else {
        for (const StoredValue& value : values.pixels) {
            file.insert(file.end(), value.bytes.begin(), value.bytes.end());
        }
    }

    built.rgba.resize(std::size_t{width} * height * 4);
    for (std::size_t i = 0; i < values.pixels.size(); ++i) {
        const std::size_t row = i / width, column = i % width;
        const std::size_t x = layout.rightToLeft ? width - 1u - column : column;
        const std::size_t y = layout.topToBottom ? row : height - 1u - row;
        const Rgba& c = values.pixels[i].decoded;
        std::copy_n(std::array<std::uint8_t, 4>{c.r, c.g, c.b, c.a}.begin(), 4,
                    built.rgba.begin() + static_cast<std::ptrdiff_t>((y * width + x) * 4));
    }
    return built;
}

}  // namespace sorrelwick::gen
