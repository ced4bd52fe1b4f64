#include "format/stb_decoding.h"

#include <climits>
#include <cstdlib>
#include <memory>

namespace sorrelwick::format::detail {
namespace {

// The cap of the image being decoded. Per thread, so that pictures decoded
// on other threads (a window's tiles) each keep their own.
thread_local std::size_t allocationCap = 0;

// Zeroed: a damaged JPEG can make the decoder read tables it never filled,
// and it must then read the same zeros every time, not what the last
// picture left in that memory (found by fuzzing: the same file decoded
// once and failed the next time).
void* CappedMalloc(std::size_t size) {
    return size <= allocationCap ? std::calloc(1, size) : nullptr;
}

void* CappedRealloc(void* block, std::size_t size) {
    return size <= allocationCap ? std::realloc(block, size) : nullptr;
}

}  // namespace
}  // namespace sorrelwick::format::detail

// The decoders of the formats editors save, reading from memory, as one
// implementation in this file. Their own code is not held to our warnings.
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_JPEG
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_NO_THREAD_LOCALS
#define STBI_MAX_DIMENSIONS 16384
#define STBI_MALLOC(size) sorrelwick::format::detail::CappedMalloc(size)
#define STBI_REALLOC(block, size) sorrelwick::format::detail::CappedRealloc(block, size)
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
#if defined(__GNUC__) && !defined(__clang__)
// Its code, inlined into the two functions below, is not held to this one
// either: GCC sees a context it fills only through pointers.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace sorrelwick::format::detail {
namespace {

// Reading a header takes the decoder's own state alone: tens of kilobytes.
constexpr std::size_t kHeaderAllowance = 128 * 1024;

struct StbPixelsFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

}  // namespace

std::optional<StbSides> StbDeclaredSides(Bytes file) {
    if (file.empty() || file.size() > INT_MAX) return std::nullopt;
    int width = 0, height = 0, channels = 0;
    allocationCap = kHeaderAllowance;
    const int read = stbi_info_from_memory(file.data(), static_cast<int>(file.size()), &width,
                                           &height, &channels);
    allocationCap = 0;
    if (!read) return std::nullopt;
    if (width <= 0 || height <= 0) return std::nullopt;
    return StbSides{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), channels};
}

std::optional<DecodedImage> StbDecodeRgba(Bytes file, const StbSides& expected,
                                          std::uint64_t cap) {
    if (file.empty() || file.size() > INT_MAX) return std::nullopt;
    allocationCap = static_cast<std::size_t>(std::min<std::uint64_t>(cap, SIZE_MAX));
    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<stbi_uc, StbPixelsFree> pixels(stbi_load_from_memory(
        file.data(), static_cast<int>(file.size()), &width, &height, &channels, 4));
    allocationCap = 0;
    if (!pixels || static_cast<std::uint32_t>(width) != expected.width ||
        static_cast<std::uint32_t>(height) != expected.height) {
        return std::nullopt;
    }
    const std::size_t bytes = std::size_t{expected.width} * expected.height * 4;
    DecodedImage image{expected.width, expected.height, {}, channels == 2 || channels == 4};
    image.rgba.assign(pixels.get(), pixels.get() + bytes);
    return image;
}

}  // namespace sorrelwick::format::detail
