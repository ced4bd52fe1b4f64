#pragma once
// The pictures of the gallery's tiles: an image list of a bounded number of
// slots, each holding the tile of one texture, reused for the texture seen
// least recently when a tile arrives for a texture that has none; and one
// slot more, the placeholder a tile shows until its picture arrives. Memory
// follows the tiles in view, not the set.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "ui/picture_bitmap.h"

namespace sorrelwick::ui {

class TileCache {
public:
    // The slot of the placeholder: a plain square, drawn at the start.
    static constexpr int kPlaceholder = 0;

    // `side` pixels square tiles, `slots` of them at most.
    TileCache(int side, int slots);
    ~TileCache();
    TileCache(const TileCache&) = delete;
    TileCache& operator=(const TileCache&) = delete;

    HIMAGELIST Images() const { return images_; }
    int Side() const { return side_; }

    // The slot that holds the tile of texture `texture`, now seen; none
    // when no slot holds it.
    std::optional<int> SlotOf(std::size_t texture);

    // Puts `tile` in the slot that holds `texture`'s, else in the one seen
    // least recently; that slot, or -1 when there is no tile to put or the
    // list took none.
    int Put(std::size_t texture, const OwnedBitmap& tile);

    // Every slot free again: the set changed.
    void Forget();

private:
    HIMAGELIST images_ = nullptr;
    int side_;
    std::vector<std::size_t> textureIn_;  // per slot after the placeholder; kNoTexture when free
    std::vector<std::uint64_t> lastUse_;  // per slot after the placeholder
    std::uint64_t clock_ = 0;
};

}  // namespace sorrelwick::ui
