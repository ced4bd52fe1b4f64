#include "format/image_scaling.h"

#include <climits>
#include <cstdlib>
#include <new>

#include "platform/memory.h"

namespace sorrelwick::format {
namespace {

// The filter's working memory asks the fault seam first, as every
// allocation the tool can report as "not enough memory" does.
void* SeamMalloc(std::size_t size) {
    return platform::MayAllocate() ? std::malloc(size) : nullptr;
}

}  // namespace
}  // namespace sorrelwick::format

#define STBIR_MALLOC(size, context) ((void)(context), sorrelwick::format::SeamMalloc(size))
#define STBIR_FREE(block, context) ((void)(context), std::free(block))
#define STB_IMAGE_RESIZE_STATIC
#define STB_IMAGE_RESIZE_IMPLEMENTATION
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
#include <stb/stb_image_resize.h>
#pragma GCC diagnostic pop

namespace sorrelwick::format {

std::optional<DecodedImage> ScaleImage(const DecodedImage& image, std::uint32_t width,
                                       std::uint32_t height) {
    constexpr int kChannels = 4, kAlphaChannel = 3;
    constexpr std::uint32_t kLargest = INT_MAX / kChannels;
    if (image.width == 0 || image.height == 0 || width == 0 || height == 0 ||
        image.width > kLargest || width > kLargest || image.height > INT_MAX ||
        height > INT_MAX || image.rgba.size() != std::size_t{image.width} * image.height * 4) {
        return std::nullopt;
    }
    DecodedImage scaled{width, height, {}, image.alpha};
    try {
        scaled.rgba.resize(std::size_t{width} * height * kChannels);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    // Marked premultiplied so that alpha does not weigh the colour: see the
    // header. The alpha channel is still named, so it is filtered linearly.
    const int done = stbir_resize_uint8_srgb(
        image.rgba.data(), static_cast<int>(image.width), static_cast<int>(image.height),
        static_cast<int>(image.width) * kChannels, scaled.rgba.data(), static_cast<int>(width),
        static_cast<int>(height), static_cast<int>(width) * kChannels, kChannels, kAlphaChannel,
        STBIR_FLAG_ALPHA_PREMULTIPLIED);
    if (!done) return std::nullopt;
    return scaled;
}

}  // namespace sorrelwick::format
