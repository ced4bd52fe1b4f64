#pragma once
// Which group of the set a material belongs to, and so which two of the six
// percentages scale its specular bytes.

#include <cstdint>

namespace sorrelwick::specular {

enum class SpecularClass : std::uint32_t {
    None = 0,  // left alone
    Board = 1,
    BlackPieces = 2,
    WhitePieces = 3,
};

}  // namespace sorrelwick::specular
