#include "format/png_encoding.h"

#include <cstdlib>
#include <limits>
#include <new>
#include <unordered_set>

namespace sorrelwick::format {
namespace {

// Every buffer the encoder takes lives in the current scope's set, so that
// one given up half-way through (memory ran out) is still released.
class EncoderMemory {
public:
    EncoderMemory() { current_ = this; }
    ~EncoderMemory() {
        for (void* block : blocks_) std::free(block);
        current_ = nullptr;
    }
    EncoderMemory(const EncoderMemory&) = delete;
    EncoderMemory& operator=(const EncoderMemory&) = delete;

    static void* Reallocate(void* block, std::size_t size) {
        void* moved = std::realloc(block, size);
        if (!moved) throw std::bad_alloc();
        current_->blocks_.erase(block);
        current_->blocks_.insert(moved);
        return moved;
    }
    static void Free(void* block) {
        if (!block) return;
        current_->blocks_.erase(block);
        std::free(block);
    }

private:
    static thread_local EncoderMemory* current_;
    std::unordered_set<void*> blocks_;
};

thread_local EncoderMemory* EncoderMemory::current_ = nullptr;

}  // namespace
}  // namespace sorrelwick::format

// The encoder is third-party code: its own warnings are not ours to fix.
#define STBIW_MALLOC(size) sorrelwick::format::EncoderMemory::Reallocate(nullptr, size)
#define STBIW_REALLOC(block, size) sorrelwick::format::EncoderMemory::Reallocate(block, size)
#define STBIW_FREE(block) sorrelwick::format::EncoderMemory::Free(block)
#define STBIW_ASSERT(condition) static_cast<void>(0)
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wold-style-cast"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace sorrelwick::format {
namespace {

void AppendTo(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, Bytes rgba) {
    return EncodePng(width, height, 4, rgba);
}

std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, int channels,
                                    Bytes samples) {
    // The encoder counts in int, one filter byte per row on top of the pixels.
    constexpr std::uint64_t kLargestPicture = std::numeric_limits<int>::max() / 2;
    std::vector<std::uint8_t> png;
    if (channels < 1 || channels > 4) return png;
    const auto perPixel = static_cast<std::uint64_t>(channels);
    const std::uint64_t bytes = std::uint64_t{width} * height * perPixel;
    if (bytes == 0 || bytes > kLargestPicture || samples.size() != bytes) return png;
    const int w = static_cast<int>(width);
    EncoderMemory memory;
    if (!stbi_write_png_to_func(AppendTo, &png, w, static_cast<int>(height), channels,
                                samples.data(), w * channels)) {
        png.clear();
    }
    return png;
}

}  // namespace sorrelwick::format
