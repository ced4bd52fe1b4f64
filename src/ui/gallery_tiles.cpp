#include "ui/gallery_tiles.h"

#include <algorithm>
#include <limits>

#include "operations/texture_picture.h"

namespace sorrelwick::ui {
namespace {

constexpr std::size_t kNoTexture = std::numeric_limits<std::size_t>::max();

// A light grey square: a tile whose picture is on its way, told apart from
// any picture by being the same everywhere.
OwnedBitmap PlaceholderBitmap(int side) {
    operations::TexturePicture plain;
    plain.width = plain.height = static_cast<std::uint32_t>(side);
    plain.bgra.assign(std::size_t{plain.width} * plain.height * 4, 0xE8);
    for (std::size_t alpha = 3; alpha < plain.bgra.size(); alpha += 4) plain.bgra[alpha] = 0xFF;
    return PictureBitmap(plain);
}

}  // namespace

TileCache::TileCache(int side, int slots)
    : images_(ImageList_Create(side, side, ILC_COLOR32, slots + 1, 0)),
      side_(side),
      textureIn_(static_cast<std::size_t>(slots), kNoTexture),
      lastUse_(static_cast<std::size_t>(slots), 0) {
    if (!images_) return;
    ImageList_SetImageCount(images_, static_cast<UINT>(slots + 1));
    if (const OwnedBitmap placeholder = PlaceholderBitmap(side)) {
        ImageList_Replace(images_, kPlaceholder, placeholder.get(), nullptr);
    }
}

TileCache::~TileCache() {
    if (images_) ImageList_Destroy(images_);
}

std::optional<int> TileCache::SlotOf(std::size_t texture) {
    const auto held = std::find(textureIn_.begin(), textureIn_.end(), texture);
    if (held == textureIn_.end()) return std::nullopt;
    const auto slot = static_cast<std::size_t>(held - textureIn_.begin());
    lastUse_[slot] = ++clock_;
    return static_cast<int>(slot) + 1;
}

int TileCache::Put(std::size_t texture, const OwnedBitmap& tile) {
    const auto held = std::find(textureIn_.begin(), textureIn_.end(), texture);
    const auto slot = static_cast<std::size_t>(
        held != textureIn_.end()
            ? held - textureIn_.begin()
            : std::min_element(lastUse_.begin(), lastUse_.end()) - lastUse_.begin());
    if (!images_ || !tile || slot >= textureIn_.size() ||
        !ImageList_Replace(images_, static_cast<int>(slot) + 1, tile.get(), nullptr)) {
        return -1;
    }
    textureIn_[slot] = texture;
    lastUse_[slot] = ++clock_;
    return static_cast<int>(slot) + 1;
}

void TileCache::Forget() {
    std::fill(textureIn_.begin(), textureIn_.end(), kNoTexture);
    std::fill(lastUse_.begin(), lastUse_.end(), 0);
}

}  // namespace sorrelwick::ui
