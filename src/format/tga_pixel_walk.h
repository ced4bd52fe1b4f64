#pragma once
// Where the parts of a TGA image lie, and the one walk over its pixel data
// that both the completeness check and the decoder use.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "format/byte_fields.h"
#include "format/tga_header.h"

namespace sorrelwick::format {

// Image types whose data the walk understands.
bool IsColourMapped(std::uint8_t imageType);  // 1, 9
bool IsRunLength(std::uint8_t imageType);     // 9, 10, 11
bool IsWalkable(std::uint8_t imageType);      // 1, 2, 3, 9, 10, 11

struct TgaSections {
    std::size_t mapOffset = 0;  // after the header and the ID field
    std::size_t mapBytes = 0;   // 0 unless the colour-map type is 1
    std::size_t dataOffset = 0;
    std::size_t pixelBytes = 0;  // ceil(depth / 8)
    std::uint64_t pixelCount = 0;
    bool runLength = false;
};

// Computed from 8 and 16-bit fields, so nothing here can overflow.
TgaSections LocateSections(const TgaHeader& header);

// A stretch of pixels in file order: `count` pixels one after another from
// `bytes`, or, when `repeated`, the one pixel at `bytes` `count` times.
struct PixelRun {
    const std::uint8_t* bytes = nullptr;
    std::uint64_t count = 0;
    bool repeated = false;
};

// Hands the pixel data after `sections.dataOffset` to `visit` as PixelRuns,
// in file order, until pixelCount pixels are covered. Run-length data is a
// sequence of packets, each a count byte (top bit set: one pixel repeated
// low 7 bits + 1 times; clear: that many literal pixels) and its pixels;
// pixels a packet holds beyond the image are not needed. True when every
// pixel was covered before `tga` ended; otherwise the runs that fit have
// been visited and false is returned. Never reads outside `tga`.
template <typename Visit>
bool WalkPixelData(Bytes tga, const TgaSections& sections, Visit&& visit) {
    if (sections.dataOffset > tga.size()) return false;
    const Bytes data = tga.subspan(sections.dataOffset);
    const std::size_t width = sections.pixelBytes;
    // Whole pixels of `data` from `at`; width 0 never runs out.
    const auto pixelsFrom = [&](std::size_t at) -> std::uint64_t {
        return width == 0 ? sections.pixelCount : (data.size() - at) / width;
    };
    if (!sections.runLength) {
        const std::uint64_t present = std::min(sections.pixelCount, pixelsFrom(0));
        if (present > 0) visit(PixelRun{data.data(), present, false});
        return present == sections.pixelCount;
    }
    std::uint64_t covered = 0;
    std::size_t at = 0;
    while (covered < sections.pixelCount) {
        if (at >= data.size()) return false;
        const std::uint8_t packet = data[at++];
        const std::uint64_t wanted =
            std::min<std::uint64_t>((packet & 0x7Fu) + 1u, sections.pixelCount - covered);
        const bool repeated = (packet & 0x80u) != 0;
        const std::uint64_t present = std::min(repeated ? 1 : wanted, pixelsFrom(at));
        if (present > 0) visit(PixelRun{data.data() + at, repeated ? wanted : present, repeated});
        if (present < (repeated ? 1 : wanted)) return false;
        at += static_cast<std::size_t>(present) * width;
        covered += wanted;
    }
    return true;
}

}  // namespace sorrelwick::format
