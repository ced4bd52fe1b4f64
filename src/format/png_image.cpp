#include "format/png_image.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "format/stb_decoding.h"

namespace sorrelwick::format {
namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// The image header chunk stands right after the signature: length, "IHDR",
// width and height (big-endian), bit depth, colour type, compression,
// filter, interlace.
constexpr std::size_t kBitDepthAt = 24;
constexpr std::size_t kColourTypeAt = 25;
constexpr std::size_t kHeaderChunkEnd = 33;  // its 13 data bytes and checksum's start

// The decoder reads the sides from a cut header as zeros past the end and may
// still answer; every field is read here only once its bytes are known to be
// there, and the first chunk must be a header chunk of the standard length.
bool HasWholeHeaderChunk(Bytes png) {
    constexpr std::array<std::uint8_t, 8> kHeaderChunkStart = {0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    return png.size() >= kHeaderChunkEnd &&
           std::equal(kHeaderChunkStart.begin(), kHeaderChunkStart.end(), png.begin() + 8);
}

unsigned ChannelsOfColourType(std::uint8_t colourType) {
    switch (colourType) {
        case 2:
            return 3;  // RGB
        case 4:
            return 2;  // grey with alpha
        case 6:
            return 4;  // RGBA
        default:
            return 1;  // grey, palette indices
    }
}

// Bytes of the image's filtered data once inflated: a filter byte and the
// packed samples for every row; the seven passes of an interlaced image add
// at most two bytes for each of their rows (fewer than 2 x height + 7).
std::uint64_t RawDataBound(Bytes png, const PngSides& sides) {
    const std::uint64_t bitsPerPixel =
        std::uint64_t{ChannelsOfColourType(png[kColourTypeAt])} * png[kBitDepthAt];
    const std::uint64_t rowBytes = (sides.width * bitsPerPixel + 7) / 8;
    return sides.height * (rowBytes + 1) + 4 * std::uint64_t{sides.height} + 16;
}

// The largest buffer the decoder's inflate asks for: it starts from its own
// guess of the inflated size (the rows of a plain image with their filter
// bytes) and doubles it until the data fits. An interlaced image's passes
// hold more than the guess, so that buffer can be up to twice the bound.
std::uint64_t InflateBufferBound(Bytes png, const PngSides& sides) {
    const std::uint64_t rowBytes = (std::uint64_t{sides.width} * png[kBitDepthAt] + 7) / 8;
    std::uint64_t buffer =
        rowBytes * sides.height * ChannelsOfColourType(png[kColourTypeAt]) + sides.height;
    const std::uint64_t needed = RawDataBound(png, sides);
    while (buffer < needed) buffer *= 2;
    return buffer;
}

// Room for the small tables the decoder keeps besides the image data.
constexpr std::uint64_t kTableAllowance = 64 * 1024;

// The file as the decoder is given it (nullopt: as it is). A data chunk of
// no bytes is allowed, but the decoder would copy its zero bytes from a
// buffer it has not allocated yet: such chunks carry nothing and are
// dropped, as is one cut before its checksum at the file's end (the decoder
// reads its length and type all the same). A palette of fewer than 256
// colours is filled up with opaque black: the decoder would take a colour
// for an index beyond the palette from memory it never wrote.
std::optional<std::vector<std::uint8_t>> ForTheDecoder(Bytes png) {
    constexpr std::size_t kSignatureBytes = 8, kLengthAndTypeBytes = 8, kChecksumBytes = 4;
    constexpr std::uint32_t kFullPalette = 256 * 3;
    struct Edit {
        std::size_t from, to;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Edit> edits;
    std::size_t at = kSignatureBytes;
    while (png.size() - at >= kLengthAndTypeBytes) {
        const std::uint32_t length = std::uint32_t{png[at]} << 24 |
                                     std::uint32_t{png[at + 1]} << 16 |
                                     std::uint32_t{png[at + 2]} << 8 | png[at + 3];
        const std::size_t left = png.size() - at - kLengthAndTypeBytes;
        if (length == 0 && std::memcmp(&png[at + 4], "IDAT", 4) == 0) {
            edits.push_back({at, at + kLengthAndTypeBytes + std::min(left, kChecksumBytes), {}});
        }
        if (left < kChecksumBytes || length > left - kChecksumBytes) break;
        const std::size_t next = at + kLengthAndTypeBytes + length + kChecksumBytes;
        if (std::memcmp(&png[at + 4], "PLTE", 4) == 0 && length % 3 == 0 &&
            length < kFullPalette) {
            // The decoder reads no checksum: it stays zero.
            std::vector<std::uint8_t> full = {0, 0, kFullPalette >> 8, kFullPalette & 0xFF,
                                              'P', 'L', 'T', 'E'};
            full.insert(full.end(), png.begin() + static_cast<std::ptrdiff_t>(at + 8),
                        png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
            full.resize(kLengthAndTypeBytes + kFullPalette + kChecksumBytes, 0);
            edits.push_back({at, next, std::move(full)});
        }
        at = next;
    }
    if (edits.empty()) return std::nullopt;
    std::vector<std::uint8_t> copy;
    copy.reserve(png.size() + kFullPalette);
    std::size_t from = 0;
    for (const Edit& edit : edits) {
        copy.insert(copy.end(), png.begin() + static_cast<std::ptrdiff_t>(from),
                    png.begin() + static_cast<std::ptrdiff_t>(edit.from));
        copy.insert(copy.end(), edit.bytes.begin(), edit.bytes.end());
        from = edit.to;
    }
    copy.insert(copy.end(), png.begin() + static_cast<std::ptrdiff_t>(from), png.end());
    return copy;
}

}  // namespace

bool HasPngSignature(Bytes bytes) {
    return bytes.size() >= kPngSignature.size() &&
           std::equal(kPngSignature.begin(), kPngSignature.end(), bytes.begin());
}

std::optional<PngSides> ReadPngSides(Bytes png) {
    if (!HasPngSignature(png) || !HasWholeHeaderChunk(png) || png.size() > INT_MAX)
        return std::nullopt;
    const std::optional<detail::StbSides> sides = detail::StbDeclaredSides(png);
    if (!sides) return std::nullopt;
    return PngSides{sides->width, sides->height, sides->channels};
}

PngDecodeResult DecodePng(Bytes png, std::uint32_t maxSide) {
    const std::optional<PngSides> sides = ReadPngSides(png);
    if (!sides) return {};
    if (sides->width > maxSide || sides->height > maxSide) return {PngOutcome::TooLarge, {}};
    // The sides were read from the header chunk itself, so its bytes are there.
    const std::uint64_t rgbaBytes = std::uint64_t{sides->width} * sides->height * 4;
    // The compressed data is gathered in a buffer that doubles as it grows.
    const std::uint64_t gatheredBound = 2 * std::uint64_t{png.size()};
    const std::uint64_t cap =
        std::max({rgbaBytes, InflateBufferBound(png, *sides), gatheredBound}) + kTableAllowance;
    const std::optional<std::vector<std::uint8_t>> cleaned = ForTheDecoder(png);
    const Bytes input = cleaned ? Bytes(*cleaned) : png;
    try {
        std::optional<DecodedImage> image =
            detail::StbDecodeRgba(input, {sides->width, sides->height}, cap);
        if (!image) return {};
        return {PngOutcome::Decoded, std::move(*image)};
    } catch (const std::bad_alloc&) {
        return {PngOutcome::TooLarge, {}};
    }
}

}  // namespace sorrelwick::format
