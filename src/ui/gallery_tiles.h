#pragma once
// The pictures of the gallery's tiles: an image list of a bounded number of
// slots, each holding the tile of one texture, reused for the texture seen
// least recently when a tile comes into view that has none. Memory follows
// the tiles in view, not the set.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "ui/picture_bitmap.h"

namespace sorrelwick::ui {

class TileCache {
public:
    // `side` pixels square tiles, `slots` of them at most.
    TileCache(int side, int slots);
    ~TileCache();
    TileCache(const TileCache&) = delete;
    TileCache& operator=(const TileCache&) = delete;

    HIMAGELIST Images() const { return images_; }
    int Side() const { return side_; }

    // The slot that holds the tile of texture `texture`, drawn by `draw`
    // (which gives the tile's bitmap, or null) when no slot holds it yet.
    int SlotFor(std::size_t texture, const std::function<OwnedBitmap()>& draw);

    // Every slot free again: the set changed.
    void Forget();

private:
    HIMAGELIST images_ = nullptr;
    int side_;
    std::vector<std::size_t> textureIn_;  // per slot; kNoTexture when free
    std::vector<std::uint64_t> lastUse_;  // per slot
    std::uint64_t clock_ = 0;
};

}  // namespace sorrelwick::ui
