// Decodes the six common TGA image types into RGBA rows, top to bottom.

#include <array>
#include <new>
#include <optional>

#include "format/tga_image.h"
#include "format/tga_pixel_walk.h"

namespace sorrelwick::format {
namespace {

using Rgba = std::array<std::uint8_t, 4>;

// How the bytes of one stored value (a pixel or a colour-map entry) become
// a colour.
enum class ValueForm { Grey8, Bgr555, Bgra5551, Bgr24, Bgra32 };

std::optional<ValueForm> ColourForm(unsigned bits, std::uint8_t descriptor) {
    switch (bits) {
        case 15:
            return ValueForm::Bgr555;
        case 16:
            // The top bit is alpha only when the descriptor says so; many
            // writers leave it clear on opaque images.
            return (descriptor & kAttributeBitsMask) == 1 ? ValueForm::Bgra5551 : ValueForm::Bgr555;
        case 24:
            return ValueForm::Bgr24;
        case 32:
            return ValueForm::Bgra32;
        default:
            return std::nullopt;
    }
}

std::uint8_t Widen5(unsigned value) {
    return static_cast<std::uint8_t>(value << 3u | value >> 2u);
}

Rgba ToRgba(const std::uint8_t* p, ValueForm form) {
    switch (form) {
        case ValueForm::Grey8:
            return {p[0], p[0], p[0], 255};
        case ValueForm::Bgr555:
        case ValueForm::Bgra5551: {
            const unsigned v = unsigned{p[0]} | unsigned{p[1]} << 8u;
            const bool opaque = form == ValueForm::Bgr555 || (v & 0x8000u) != 0;
            return {Widen5(v >> 10u & 0x1Fu), Widen5(v >> 5u & 0x1Fu), Widen5(v & 0x1Fu),
                    static_cast<std::uint8_t>(opaque ? 255 : 0)};
        }
        case ValueForm::Bgr24:
            return {p[2], p[1], p[0], 255};
        case ValueForm::Bgra32:
            return {p[2], p[1], p[0], p[3]};
    }
    return {};
}

// What the header asks of the decoder, once found decodable.
struct PixelSource {
    TgaHeader header;
    TgaSections sections;
    ValueForm form = ValueForm::Grey8;  // of a pixel, or of a map entry
    std::vector<Rgba> map;              // colour-mapped types only
};

std::optional<DecodeOutcome> CheckDecodable(const TgaHeader& header, std::uint64_t maxBytes,
                                            PixelSource& source) {
    if (!IsWalkable(header.imageType)) return DecodeOutcome::UnsupportedType;
    std::optional<ValueForm> form;
    if (IsColourMapped(header.imageType)) {
        if (header.colourMapType != 1) return DecodeOutcome::BadHeader;
        if (header.depth != 8 && header.depth != 16) return DecodeOutcome::UnsupportedType;
        form = ColourForm(header.mapEntryBits, header.descriptor);
    } else if (header.imageType == 2 || header.imageType == 10) {
        form = ColourForm(header.depth, header.descriptor);
    } else if (header.depth == 8) {
        form = ValueForm::Grey8;
    }
    if (!form) return DecodeOutcome::UnsupportedType;
    source.form = *form;
    // Both sides are 16-bit, so the product can't overflow 64 bits.
    if (std::uint64_t{header.width} * header.height * 4 > maxBytes) {
        return DecodeOutcome::TooLarge;
    }
    return std::nullopt;
}

// False when the map runs past the end of the image.
bool ReadColourMap(Bytes tga, PixelSource& source) {
    const std::size_t entryBytes = BytesForBits(source.header.mapEntryBits);
    if (!Fits(tga, source.sections.mapOffset, source.sections.mapBytes)) return false;
    source.map.reserve(source.header.mapLength);
    for (std::size_t i = 0; i < source.header.mapLength; ++i) {
        source.map.push_back(ToRgba(&tga[source.sections.mapOffset + i * entryBytes], source.form));
    }
    return true;
}

// Puts pixels, in file order, where the origin bits say they belong.
class PixelPlacer {
public:
    PixelPlacer(const PixelSource& source, DecodedImage& image)
        : source_(source), image_(image), indexed_(IsColourMapped(source.header.imageType)) {}

    void operator()(const PixelRun& run) {
        const std::size_t step = run.repeated ? 0 : source_.sections.pixelBytes;
        for (std::uint64_t i = 0; i < run.count; ++i) Place(Colour(run.bytes + i * step));
    }

private:
    Rgba Colour(const std::uint8_t* p) const {
        if (!indexed_) return ToRgba(p, source_.form);
        const unsigned value =
            source_.header.depth == 16 ? unsigned{p[0]} | unsigned{p[1]} << 8u : unsigned{p[0]};
        // An index outside the map has no colour: it stays transparent.
        if (value < source_.header.mapFirstIndex) return {0, 0, 0, 0};
        const std::size_t entry = value - source_.header.mapFirstIndex;
        return entry < source_.map.size() ? source_.map[entry] : Rgba{0, 0, 0, 0};
    }

    void Place(const Rgba& colour) {
        const std::uint32_t width = image_.width;
        const std::uint32_t x =
            source_.header.descriptor & kRightToLeftBit ? width - 1 - column_ : column_;
        const std::uint32_t y =
            source_.header.descriptor & kTopToBottomBit ? row_ : image_.height - 1 - row_;
        const std::size_t at = (std::size_t{y} * width + x) * 4;
        for (std::size_t c = 0; c < 4; ++c) image_.rgba[at + c] = colour[c];
        if (++column_ == width) {
            column_ = 0;
            ++row_;
        }
    }

    const PixelSource& source_;
    DecodedImage& image_;
    bool indexed_;
    std::uint32_t column_ = 0;
    std::uint32_t row_ = 0;
};

}  // namespace

DecodeResult DecodeTga(Bytes tga, std::uint64_t maxBytes) {
    const std::optional<TgaHeader> header = ReadTgaHeader(tga);
    if (!header) return {DecodeOutcome::BadHeader, {}};
    PixelSource source;
    source.header = *header;
    source.sections = LocateSections(*header);
    if (const std::optional<DecodeOutcome> refusal = CheckDecodable(*header, maxBytes, source)) {
        return {*refusal, {}};
    }
    const bool alpha = source.form == ValueForm::Bgra32 || source.form == ValueForm::Bgra5551;
    DecodeResult result{DecodeOutcome::Decoded, {header->width, header->height, {}, alpha}};
    // Pixels the data does not reach stay (0,0,0,0).
    try {
        result.image.rgba.assign(std::size_t{header->width} * header->height * 4, 0);
    } catch (const std::bad_alloc&) {
        return {DecodeOutcome::TooLarge, {}};
    }
    const bool mapWhole = !IsColourMapped(header->imageType) || ReadColourMap(tga, source);
    if (!mapWhole || !WalkPixelData(tga, source.sections, PixelPlacer(source, result.image))) {
        result.outcome = DecodeOutcome::CutShort;
    }
    return result;
}

}  // namespace sorrelwick::format
