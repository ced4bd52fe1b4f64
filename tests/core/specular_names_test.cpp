#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "specular/object_names.h"
#include "support/specular_printing.h"

namespace sorrelwick::specular {
namespace {

using enum SpecularClass;
using Style = NamingStyle;

TEST(NamingStyleOf, ThirdOrFourthCharacterUnderscoreThenFirstLetterDecides) {
    const std::vector<std::pair<std::string, Style>> cases = {
        {"B1_set.DAT", Style::B},  {"Cxx_set.DAT", Style::C},
        {"D_set.DAT", Style::A},   {"c1_set.DAT", Style::A},
        {"E1_set.DAT", Style::A},  {"A1_set.DAT", Style::A},
        {"D12_set.DAT", Style::D}, {"B__", Style::B},
        {"Dx", Style::A},          {"", Style::A},
        {"1B_set.DAT", Style::A},  {"Dabc_set.DAT", Style::A},
    };
    for (const auto& [name, style] : cases) {
        EXPECT_EQ(NamingStyleOf(name), style) << name;
    }
}

struct NameCase {
    std::string name;
    std::vector<Style> styles;
    SpecularClass expected;
};

void ExpectClasses(const std::vector<NameCase>& cases) {
    for (const NameCase& c : cases) {
        for (Style style : c.styles) {
            EXPECT_EQ(ClassifyObjectName(c.name, style), c.expected)
                << '"' << c.name << "\" in style " << static_cast<int>(style);
        }
    }
}

const std::vector<Style> kAllStyles = {Style::A, Style::B, Style::C, Style::D};

TEST(ClassifyObjectName, BoardNamesInEveryStyle) {
    ExpectClasses({
        {"SField12", kAllStyles, Board},  {"SField01", kAllStyles, Board},
        {"SField64", kAllStyles, Board},  {"SField65", kAllStyles, None},
        {"SField00", kAllStyles, None},   {"SField0", kAllStyles, None},
        {"SField6", kAllStyles, Board},   {"SField1", kAllStyles, Board},
        {"SField7", kAllStyles, None},    {"SField", kAllStyles, None},
        {"SField19x", kAllStyles, Board}, {"Sfield12", kAllStyles, None},
        {"Field", kAllStyles, Board},     {"Frame", kAllStyles, Board},
        {"LettersW", kAllStyles, Board},  {"LettersB", kAllStyles, Board},
        {"Frames", kAllStyles, None},     {"Letters", kAllStyles, None},
        {"frame", kAllStyles, None},      {"", kAllStyles, None},
    });
}

TEST(ClassifyObjectName, PieceNamesByStyle) {
    const std::vector<Style> plain = {Style::A, Style::B};
    ExpectClasses({
        // Styles A and B: optional "R_" or "B_", piece word, colour letter.
        {"PawnW", plain, WhitePieces},
        {"R_KnightB", plain, BlackPieces},
        {"B_QueenW", plain, WhitePieces},
        {"BishopWhite", plain, WhitePieces},
        {"RookB.001", plain, BlackPieces},
        {"KingX", plain, None},
        {"X_PawnW", plain, None},
        {"pawnW", plain, None},
        {"Pawn", plain, None},
        {"R_", plain, None},
        {"<PawnW>", plain, None},
        // Style C: "<", optional two characters, word, ">", colour.
        {"<Pawn>W", {Style::C}, WhitePieces},
        {"<bxRook>B", {Style::C}, BlackPieces},
        {"<hxKnight>W", {Style::C}, WhitePieces},
        {"<axPawn>W", {Style::C}, None},
        {"<PawnW>", {Style::C}, None},
        {"<gxPawn>W", {Style::C}, None},
        {"<pxPawn>W", {Style::C}, None},
        {"<b_PawnW>", {Style::C}, None},
        {"<Pawn>", {Style::C}, None},
        {"<", {Style::C}, None},
        {"PawnW", {Style::C}, None},
        // Style D: "<", optional two characters, word, colour, ">".
        {"<PawnW>", {Style::D}, WhitePieces},
        {"<hxKingB>", {Style::D}, BlackPieces},
        {"<b_PawnW>", {Style::D}, WhitePieces},
        {"<Pawn>W", {Style::D}, None},
        {"<QueenW", {Style::D}, None},
        {"<gxKingB>", {Style::D}, None},
        {"PawnW", {Style::D}, None},
    });
}

}  // namespace
}  // namespace sorrelwick::specular
