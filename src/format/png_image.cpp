#include "format/png_image.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace sorrelwick::format {
namespace {

// Every allocation the PNG decoder makes comes through here and is refused
// above the cap set for the image being decoded, so a hostile file (a
// compressed stream that inflates far beyond its sides, say) can't make it
// take more memory than an honest image of those sides and that file size
// needs. One image is
// decoded at a time: the tool has one thread.
std::size_t allocationCap = 0;

void* CappedMalloc(std::size_t size) {
    return size <= allocationCap ? std::malloc(size) : nullptr;
}

void* CappedRealloc(void* block, std::size_t size) {
    return size <= allocationCap ? std::realloc(block, size) : nullptr;
}

}  // namespace
}  // namespace sorrelwick::format

// The decoder of the PNG format only, reading from memory, as one
// implementation in this file. Its own code is not held to our warnings.
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_NO_THREAD_LOCALS
#define STBI_MAX_DIMENSIONS 16384
#define STBI_MALLOC(size) sorrelwick::format::CappedMalloc(size)
#define STBI_REALLOC(block, size) sorrelwick::format::CappedRealloc(block, size)
#define STBI_FREE(block) std::free(block)
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wold-style-cast"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wcast-qual"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace sorrelwick::format {
namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// The image header chunk stands right after the signature: length, "IHDR",
// width and height (big-endian), bit depth, colour type, compression,
// filter, interlace.
constexpr std::size_t kBitDepthAt = 24;
constexpr std::size_t kColourTypeAt = 25;

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

// Room for the small tables the decoder keeps besides the image data.
constexpr std::uint64_t kTableAllowance = 64 * 1024;

struct StbPixelsFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

}  // namespace

bool HasPngSignature(Bytes bytes) {
    return bytes.size() >= kPngSignature.size() &&
           std::equal(kPngSignature.begin(), kPngSignature.end(), bytes.begin());
}

std::optional<PngSides> ReadPngSides(Bytes png) {
    if (!HasPngSignature(png) || png.size() > INT_MAX) return std::nullopt;
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(png.data(), static_cast<int>(png.size()), &width, &height,
                               &channels)) {
        return std::nullopt;
    }
    if (width <= 0 || height <= 0) return std::nullopt;
    return PngSides{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
}

PngDecodeResult DecodePng(Bytes png) {
    const std::optional<PngSides> sides = ReadPngSides(png);
    if (!sides) return {};
    if (sides->width > kMaxPngSide || sides->height > kMaxPngSide)
        return {PngOutcome::TooLarge, {}};
    // The sides were read from the header chunk itself, so its bytes are there.
    const std::uint64_t rgbaBytes = std::uint64_t{sides->width} * sides->height * 4;
    // The compressed data is gathered in a buffer that doubles as it grows.
    const std::uint64_t gatheredBound = 2 * std::uint64_t{png.size()};
    const std::uint64_t cap =
        std::max({rgbaBytes, RawDataBound(png, *sides), gatheredBound}) + kTableAllowance;
    allocationCap = static_cast<std::size_t>(std::min<std::uint64_t>(cap, SIZE_MAX));
    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<stbi_uc, StbPixelsFree> pixels(stbi_load_from_memory(
        png.data(), static_cast<int>(png.size()), &width, &height, &channels, 4));
    allocationCap = 0;
    if (!pixels || static_cast<std::uint32_t>(width) != sides->width ||
        static_cast<std::uint32_t>(height) != sides->height) {
        return {};
    }
    PngDecodeResult result{PngOutcome::Decoded, {sides->width, sides->height, {}}};
    try {
        result.image.rgba.assign(pixels.get(), pixels.get() + rgbaBytes);
    } catch (const std::bad_alloc&) {
        return {PngOutcome::TooLarge, {}};
    }
    return result;
}

}  // namespace sorrelwick::format
