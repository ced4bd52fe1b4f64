#pragma once
// How an object's name tells which group of the set it belongs to.

#include <string_view>

#include "specular/specular_class.h"

namespace sorrelwick::specular {

// How the set's artist wrote piece names, chosen by the chess-set name: a set
// named "B1_..." or "Bxx_..." uses style B, and likewise for A, C and D. A
// name with no "_" as its third or fourth character uses style A.
//   A, B: optional "R_" or "B_", piece word, colour letter   (R_KnightB)
//   C:    "<", optional two characters, piece word, ">", colour   (<bxRook>B)
//   D:    "<", optional two characters, piece word, colour, ">"   (<hxKingB>)
enum class NamingStyle { A = 0, B = 1, C = 2, D = 3 };

NamingStyle NamingStyleOf(std::string_view setName);
// Whether the name chooses its style itself ("A1_", "Bxx_", ...); every
// other name falls back on style A.
bool HasNamingForm(std::string_view setName);

// The group an object name denotes: squares "SField01" to "SField64" and the
// board parts "Field", "Frame", "LettersW", "LettersB" are the board; piece
// names per `style` with colour letter "W" or "B". None for every other name.
// Case-sensitive; a position past the end of the name reads as a zero byte.
SpecularClass ClassifyObjectName(std::string_view name, NamingStyle style);

}  // namespace sorrelwick::specular
