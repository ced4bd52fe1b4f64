#pragma once
// The pictures of the demo chess sets: piece and board textures drawn with
// integer arithmetic only, so that every build draws the same bytes.

#include <cstdint>
#include <string_view>
#include <vector>

#include "generators/tga_builder.h"

namespace sorrelwick::gen {

// Veined marble shading from `light` to `dark`.
std::vector<std::uint8_t> DrawMarble(std::uint16_t width, std::uint16_t height, std::uint8_t depth,
                                     Rgba light, Rgba dark);

// A pawn shape lit from the left, on a transparent background (the alpha
// shows only at depth 32).
std::vector<std::uint8_t> DrawPawnSilhouette(std::uint16_t width, std::uint16_t height,
                                             std::uint8_t depth, Rgba colour);

// `squares` by `squares` light and dark wooden squares.
std::vector<std::uint8_t> DrawCheckeredSquares(std::uint16_t side, std::uint8_t depth,
                                               unsigned squares);

// Wood grain running along the width, as for the board's frame.
std::vector<std::uint8_t> DrawWoodFrame(std::uint16_t width, std::uint16_t height,
                                        std::uint8_t depth);

// The characters of `text` (A to H and 1 to 8) side by side, one square cell
// each, light on a transparent background.
std::vector<std::uint8_t> DrawCharacterStrip(std::uint16_t width, std::uint16_t height,
                                             std::uint8_t depth, std::string_view text);

}  // namespace sorrelwick::gen
