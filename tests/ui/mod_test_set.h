#pragma once
// The set the window's mod tests pack mods from and apply them to: two
// textures of one colour each, which the mods repaint.

#include <cstdint>
#include <vector>

#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"

namespace sorrelwick::test {

struct Look {
    std::vector<std::uint8_t> wood = gen::MakeTga(8, 8, 24, {10, 20, 30, 255});
    std::vector<std::uint8_t> felt = gen::MakeTga(4, 4, 24, {40, 50, 60, 255});
};

inline std::vector<std::uint8_t> SetLooking(const Look& look) {
    return gen::ChessSetBuilder()
        .Signature()
        .TextureReference("wood.tga")
        .TextureImage(look.wood)
        .TextureReference("felt.tga")
        .TextureImage(look.felt)
        .Bytes();
}

}  // namespace sorrelwick::test
