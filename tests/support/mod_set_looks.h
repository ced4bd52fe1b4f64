#pragma once
// The small set the mod tests pack mods from, apply them to and take them
// out of: three textures and two materials, the second the board's. Each
// case changes a few of its parts.

#include <cstdint>

#include "generators/chess_set_builder.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {

struct Look {
    Bytes wood = Image(8, 8, 24, 1);
    Bytes marble = Image(4, 4, 32, 2);
    Bytes felt = Image(16, 16, 24, 3);
    std::uint8_t boardShininess = 30;
    bool withMarble = true;  // false: the marble's reference without its image
};

inline Bytes SetLooking(const Look& look) {
    gen::ChessSetBuilder set;
    set.Signature()
        .Object({2, 2}, {{20, 2}})
        .ObjectName({2, 2}, "SField12")
        .Material({10, 1}, "wood.tga", 10, 40)
        .TextureImage(look.wood)
        .Material({20, 2}, "marble.tga", 30, look.boardShininess);
    if (look.withMarble) set.TextureImage(look.marble);
    return set.TextureReference("felt.tga").TextureImage(look.felt).Bytes();
}

}  // namespace sorrelwick::test
