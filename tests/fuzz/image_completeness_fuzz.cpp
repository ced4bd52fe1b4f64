// Checks any bytes for a complete TGA image and compares the answer with the
// rule worked out here on its own: the header, the ID field and the colour
// map, then for types 1 to 3 every pixel's bytes, for types 9 to 11
// run-length packets covering every pixel before the end (a packet's pixels
// beyond the image are not needed).

#include <algorithm>
#include <cstdint>

#include "format/tga_image.h"
#include "fuzz/harness.h"

using namespace sorrelwick;
using format::ImageCompleteness;

namespace {

std::uint64_t U16(fuzz::ByteView tga, std::size_t at) {
    return tga[at] | std::uint64_t{tga[at + 1]} << 8;
}

std::uint64_t BytesPer(std::uint64_t bits) {
    return (bits + 7) / 8;
}

// Whether packets from `at` cover `pixels` pixels of `pixelBytes` each.
bool PacketsCover(fuzz::ByteView tga, std::uint64_t at, std::uint64_t pixels,
                  std::uint64_t pixelBytes) {
    std::uint64_t covered = 0;
    while (covered < pixels) {
        if (at >= tga.size()) return false;
        const std::uint8_t packet = tga[static_cast<std::size_t>(at++)];
        // Pixels a packet holds beyond the image are not needed.
        const std::uint64_t count =
            std::min<std::uint64_t>((packet & 0x7Fu) + 1u, pixels - covered);
        at += (packet & 0x80u) ? pixelBytes : count * pixelBytes;
        if (at > tga.size()) return false;
        covered += count;
    }
    return true;
}

ImageCompleteness Expected(fuzz::ByteView tga) {
    if (tga.size() < 3) return ImageCompleteness::NotChecked;
    const std::uint8_t type = tga[2];
    const bool checked = (type >= 1 && type <= 3) || (type >= 9 && type <= 11);
    if (!checked) return ImageCompleteness::NotChecked;
    // An image of a checked type that ends within its header is cut short.
    if (tga.size() < 18) return ImageCompleteness::CutShort;
    const std::uint64_t map = tga[1] == 1 ? U16(tga, 5) * BytesPer(tga[7]) : 0;
    const std::uint64_t data = 18 + tga[0] + map;
    const std::uint64_t pixels = U16(tga, 12) * U16(tga, 14);
    const std::uint64_t pixelBytes = BytesPer(tga[16]);
    bool complete = false;
    if (type >= 1 && type <= 3) {
        complete = data + pixels * pixelBytes <= tga.size();
    } else {
        complete = data <= tga.size() && PacketsCover(tga, data, pixels, pixelBytes);
    }
    return complete ? ImageCompleteness::Complete : ImageCompleteness::CutShort;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ByteView tga(data, size);
    fuzz::Require(format::CheckImageCompleteness(tga) == Expected(tga),
                  "completeness check disagrees with the image layout");
    return 0;
}
