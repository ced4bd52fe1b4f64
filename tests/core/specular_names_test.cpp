// The naming style a set name selects, and what an object name denotes in it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "specular/object_names.h"

namespace sorrelwick::specular {
namespace {

using enum SpecularClass;

TEST(NamingStyleOf, ThirdOrFourthCharacterUnderscoreThenFirstLetterDecides) {
    const std::pair<std::string, char> cases[] = {
        {"B1_set.DAT", 'B'},  {"Cxx_set.DAT", 'C'},
        {"D_set.DAT", 'A'},   {"c1_set.DAT", 'A'},
        {"E1_set.DAT", 'A'},  {"A1_set.DAT", 'A'},
        {"D12_set.DAT", 'D'}, {"B__", 'B'},
        {"Dx", 'A'},          {"", 'A'},
        {"1B_set.DAT", 'A'},  {"Dabc_set.DAT", 'A'},
    };
    for (const auto& [name, style] : cases) {
        EXPECT_EQ(NamingStyleOf(name), static_cast<NamingStyle>(style - 'A')) << name;
    }
}

TEST(ClassifyObjectName, BoardNamesInEveryStyleAndPieceNamesByStyle) {
    using Names = std::vector<std::pair<std::string, SpecularClass>>;
    const Names board = {
        {"SField12", Board}, {"SField01", Board}, {"SField64", Board},  {"SField65", None},
        {"SField00", None},  {"SField0", None},   {"SField6", Board},   {"SField1", Board},
        {"SField7", None},   {"SField", None},    {"SField19x", Board}, {"Sfield12", None},
        {"Field", Board},    {"Frame", Board},    {"LettersW", Board},  {"LettersB", Board},
        {"Frames", None},    {"Letters", None},   {"frame", None},      {"", None}};
    // clang-format off
    // Styles A and B: optional "R_" or "B_", piece word, colour letter.
    const Names plain = {
        {"PawnW", WhitePieces}, {"R_KnightB", BlackPieces}, {"B_QueenW", WhitePieces},
        {"BishopWhite", WhitePieces}, {"RookB.001", BlackPieces}, {"KingX", None},
        {"X_PawnW", None}, {"pawnW", None}, {"Pawn", None}, {"R_", None}, {"<PawnW>", None}};
    // Style C: "<", optional two characters, word, ">", colour.
    const Names closeFirst = {
        {"<Pawn>W", WhitePieces}, {"<bxRook>B", BlackPieces}, {"<hxKnight>W", WhitePieces},
        {"<axPawn>W", None}, {"<PawnW>", None}, {"<gxPawn>W", None}, {"<pxPawn>W", None},
        {"<b_PawnW>", None}, {"<Pawn>", None}, {"<", None}, {"PawnW", None}};
    // Style D: "<", optional two characters, word, colour, ">".
    const Names colourFirst = {
        {"<PawnW>", WhitePieces}, {"<hxKingB>", BlackPieces}, {"<b_PawnW>", WhitePieces},
        {"<Pawn>W", None}, {"<QueenW", None}, {"<gxKingB>", None}, {"PawnW", None}};
    // clang-format on
    const std::pair<std::string, const Names*> groups[] = {
        {"ABCD", &board}, {"AB", &plain}, {"C", &closeFirst}, {"D", &colourFirst}};
    for (const auto& [styles, names] : groups) {
        for (const char style : styles) {
            for (const auto& [name, expected] : *names) {
                EXPECT_EQ(ClassifyObjectName(name, static_cast<NamingStyle>(style - 'A')), expected)
                    << '"' << name << "\" in style " << style;
            }
        }
    }
}

}  // namespace
}  // namespace sorrelwick::specular
