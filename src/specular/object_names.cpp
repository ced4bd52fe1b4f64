#include "specular/object_names.h"

#include <array>
#include <cstdint>

namespace sorrelwick::specular {
namespace {

constexpr std::array<std::string_view, 6> kPieceWords = {"Pawn",   "Rook",  "Knight",
                                                         "Bishop", "Queen", "King"};
constexpr std::array<std::string_view, 4> kBoardParts = {"Field", "Frame", "LettersW", "LettersB"};
constexpr std::string_view kSquarePrefix = "SField";
// The two characters after the prefix, compared as one 16-bit value:
// "01" to "64", where "1" to "6" alone end in a zero byte and count too.
constexpr std::uint16_t kFirstSquare = 0x3031;
constexpr std::uint16_t kLastSquare = 0x3634;

char CharAt(std::string_view name, std::size_t position) {
    return position < name.size() ? name[position] : '\0';
}

bool IsSquareName(std::string_view name) {
    if (!name.starts_with(kSquarePrefix)) return false;
    const auto high = static_cast<unsigned char>(CharAt(name, 6));
    const auto low = static_cast<unsigned char>(CharAt(name, 7));
    const auto pair = static_cast<std::uint16_t>(high << 8 | low);
    return pair >= kFirstSquare && pair <= kLastSquare;
}

bool IsBoardPart(std::string_view name) {
    for (std::string_view part : kBoardParts) {
        if (name == part) return true;
    }
    return false;
}

// The length of the piece word with which `name` continues at `start`, or 0.
// No word is a prefix of another, so at most one can match.
std::size_t PieceWordAt(std::string_view name, std::size_t start) {
    if (start > name.size()) return 0;
    for (std::string_view word : kPieceWords) {
        if (name.substr(start).starts_with(word)) return word.size();
    }
    return 0;
}

SpecularClass ColourOf(char letter) {
    if (letter == 'B') return SpecularClass::BlackPieces;
    if (letter == 'W') return SpecularClass::WhitePieces;
    return SpecularClass::None;
}

// Styles A and B: optional "R_" or "B_", piece word, colour letter.
SpecularClass PlainPieceName(std::string_view name) {
    const std::size_t start = name.starts_with("R_") || name.starts_with("B_") ? 2 : 0;
    const std::size_t word = PieceWordAt(name, start);
    if (word == 0) return SpecularClass::None;
    return ColourOf(CharAt(name, start + word));
}

// Styles C and D: "<", optional two characters led by b, c, d, e, f or h,
// piece word, and ">" and colour letter in the order of the style.
SpecularClass BracketedPieceName(std::string_view name, NamingStyle style) {
    if (CharAt(name, 0) != '<') return SpecularClass::None;
    std::size_t start = 1;
    switch (CharAt(name, 1)) {
        case 'g':
        case 'p':
            return SpecularClass::None;
        case 'b':
        case 'c':
        case 'd':
        case 'e':
        case 'f':
        case 'h':
            start = 3;
            break;
        default:
            break;
    }
    const std::size_t word = PieceWordAt(name, start);
    if (word == 0) return SpecularClass::None;
    const std::size_t after = start + word;
    const bool closeFirst = style == NamingStyle::C;
    const std::size_t closePosition = closeFirst ? after : after + 1;
    const std::size_t colourPosition = closeFirst ? after + 1 : after;
    if (CharAt(name, closePosition) != '>') return SpecularClass::None;
    return ColourOf(CharAt(name, colourPosition));
}

}  // namespace

bool HasNamingForm(std::string_view setName) {
    const char first = CharAt(setName, 0);
    return (CharAt(setName, 2) == '_' || CharAt(setName, 3) == '_') && first >= 'A' && first <= 'D';
}

NamingStyle NamingStyleOf(std::string_view setName) {
    if (!HasNamingForm(setName)) return NamingStyle::A;
    switch (CharAt(setName, 0)) {
        case 'B':
            return NamingStyle::B;
        case 'C':
            return NamingStyle::C;
        case 'D':
            return NamingStyle::D;
        default:
            return NamingStyle::A;
    }
}

SpecularClass ClassifyObjectName(std::string_view name, NamingStyle style) {
    if (name.empty()) return SpecularClass::None;
    if (IsSquareName(name) || IsBoardPart(name)) return SpecularClass::Board;
    if (style == NamingStyle::A || style == NamingStyle::B) return PlainPieceName(name);
    return BracketedPieceName(name, style);
}

}  // namespace sorrelwick::specular
