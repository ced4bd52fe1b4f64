#include "ui/gallery_tiles.h"

#include <algorithm>
#include <limits>

namespace sorrelwick::ui {
namespace {

constexpr std::size_t kNoTexture = std::numeric_limits<std::size_t>::max();

}  // namespace

TileCache::TileCache(int side, int slots)
    : images_(ImageList_Create(side, side, ILC_COLOR32, slots, 0)),
      side_(side),
      textureIn_(static_cast<std::size_t>(slots), kNoTexture),
      lastUse_(static_cast<std::size_t>(slots), 0) {
    if (images_) ImageList_SetImageCount(images_, static_cast<UINT>(slots));
}

TileCache::~TileCache() {
    if (images_) ImageList_Destroy(images_);
}

int TileCache::SlotFor(std::size_t texture, const std::function<OwnedBitmap()>& draw) {
    ++clock_;
    const auto held = std::find(textureIn_.begin(), textureIn_.end(), texture);
    if (held != textureIn_.end()) {
        const auto slot = static_cast<std::size_t>(held - textureIn_.begin());
        lastUse_[slot] = clock_;
        return static_cast<int>(slot);
    }
    const auto oldest = static_cast<std::size_t>(
        std::min_element(lastUse_.begin(), lastUse_.end()) - lastUse_.begin());
    const OwnedBitmap tile = draw();
    if (!images_ || !tile ||
        !ImageList_Replace(images_, static_cast<int>(oldest), tile.get(), nullptr)) {
        return -1;  // no picture: the tile shows its label alone
    }
    textureIn_[oldest] = texture;
    lastUse_[oldest] = clock_;
    return static_cast<int>(oldest);
}

void TileCache::Forget() {
    std::fill(textureIn_.begin(), textureIn_.end(), kNoTexture);
    std::fill(lastUse_.begin(), lastUse_.end(), 0);
}

}  // namespace sorrelwick::ui
