#pragma once
// What the gallery writes: a tile's label, and the report line of a drop
// that replaces nothing.

#include <string>
#include <string_view>
#include <vector>

#include "operations/texture_index.h"

namespace sorrelwick::ui {

// The name, and under it the size and depth: "wood.tga\n64x64, 24 bits".
std::string TileLabel(const operations::IndexedTexture& texture);

// A file dropped beside the tiles, not on one.
std::string DroppedBesideTilesLine(std::string_view name);

// Several files dropped at once: one texture takes one file.
std::string DroppedSeveralLine(const std::vector<std::string>& names);

}  // namespace sorrelwick::ui
