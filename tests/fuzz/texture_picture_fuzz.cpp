// Makes every picture a window draws of any bytes taken as a texture's
// image: the view's picture in each of its channel choices, the clipboard's,
// tiles of a few sides and the view's scaled copies. Each must have pixels,
// exactly width x height of them with neither side 0, or a reason and none;
// all of them agree on which.

#include <cstdint>
#include <string>

#include "fuzz/harness.h"
#include "operations/texture_picture.h"

using namespace sorrelwick;
using operations::ChannelView;
using operations::TexturePicture;

namespace {

// 4096 pixels: the code paths are the same for any size, and each input is
// decoded seven times, so a larger cap would take the fuzzing time.
constexpr std::uint64_t kMaxBytes = std::uint64_t{64} * 64 * 4;

void RequireDrawable(const TexturePicture& picture) {
    if (picture.bgra.empty()) {
        fuzz::Require(!picture.reason.empty(), "a picture with neither pixels nor a reason");
        return;
    }
    fuzz::Require(picture.reason.empty(), "a picture with pixels and a reason");
    fuzz::Require(picture.width != 0 && picture.height != 0, "pixels with a side of 0");
    fuzz::Require(picture.bgra.size() == std::size_t{picture.width} * picture.height * 4,
                  "pixels are not width x height");
}

void RequireSameFrame(const TexturePicture& picture, const TexturePicture& other) {
    fuzz::Require(picture.reason == other.reason && picture.width == other.width &&
                      picture.height == other.height && picture.alpha == other.alpha,
                  "two pictures of one image disagree");
}

void RequireOpaque(const TexturePicture& picture) {
    for (std::size_t at = 3; at < picture.bgra.size(); at += 4) {
        fuzz::Require(picture.bgra[at] == 255, "a drawn pixel that is not opaque");
    }
}

void RequireTile(const TexturePicture& picture, const TexturePicture& tile, std::uint32_t side) {
    RequireDrawable(tile);
    fuzz::Require(tile.reason == picture.reason, "a tile's reason differs from its picture's");
    if (!tile.bgra.empty()) {
        fuzz::Require(tile.width == side && tile.height == side, "a tile of the wrong side");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ByteView tga(data, size);
    const TexturePicture both = operations::MakeTexturePicture(tga, ChannelView::Both, kMaxBytes);
    RequireDrawable(both);
    RequireOpaque(both);
    for (const ChannelView view : {ChannelView::Colour, ChannelView::Alpha}) {
        const TexturePicture picture = operations::MakeTexturePicture(tga, view, kMaxBytes);
        RequireDrawable(picture);
        RequireSameFrame(both, picture);
        RequireOpaque(picture);
        if (view != ChannelView::Alpha) continue;
        for (std::size_t at = 0; at < picture.bgra.size(); at += 4) {
            fuzz::Require(picture.bgra[at] == picture.bgra[at + 1] &&
                              picture.bgra[at] == picture.bgra[at + 2],
                          "alpha drawn in colour");
        }
    }
    const TexturePicture unblended = operations::MakeUnblendedPicture(tga, kMaxBytes);
    RequireDrawable(unblended);
    RequireSameFrame(both, unblended);
    for (const std::uint32_t side : {1u, 7u, 40u}) {
        RequireTile(both, operations::MakeTileTexturePicture(tga, side, 3, kMaxBytes), side);
    }
    // The view's copies at sizes a window may ask for, 0 included.
    for (const auto& [width, height] : {std::pair{0u, 5u}, std::pair{1u, 1u}, std::pair{9u, 3u}}) {
        const TexturePicture scaled = operations::ScaledNearest(both, width, height);
        fuzz::Require(scaled.reason == both.reason, "a scaled picture lost its reason");
        if (!scaled.bgra.empty()) RequireDrawable(scaled);
        fuzz::Require(scaled.bgra.empty() == (both.bgra.empty() || width == 0),
                      "a scaled picture without pixels, or with them from none");
    }
    return 0;
}
