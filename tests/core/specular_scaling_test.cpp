// The scaling table: amplitude multiplied and shininess divided by the
// class's percent, limited to 255, with no 32-bit wrap.

#include "specular/specular_scaling.h"

#include <gtest/gtest.h>

#include <tuple>


namespace sorrelwick::specular {
namespace {

using enum SpecularClass;

TEST(ScaleSpecularBytes, AmplitudeIsMultipliedAndShininessDividedByItsPercent) {
    // Byte read, percent, byte written.
    using Case = std::tuple<std::uint8_t, std::uint32_t, std::uint8_t>;
    // The last two products need more than 32 bits and must not wrap.
    const Case amplitude[] = {
        {200, 50, 100},          {200, 200, 255}, {3, 50, 1},          {77, 0, 0},
        {255, 4294967295u, 255}, {128, 100, 128}, {0, 4294967295u, 0}, {1, 25600, 255},
        {1, 25499, 254},         {1, 199, 1},     {100, 1, 1},         {255, 16843010u, 255},
        {100, 42949673u, 255}};
    const Case shininess[] = {
        {50, 200, 25}, {50, 50, 100},         {50, 10, 255}, {0, 30, 0},     {0, 0, 255},
        {77, 0, 255},  {255, 4294967295u, 0}, {3, 200, 1},   {255, 99, 255}, {128, 100, 128},
    };
    // Each class reads its own pair; the other byte's percent stays at 100,
    // so that byte must come back as it was.
    const auto only = [](SpecularClass cls, std::uint32_t a, std::uint32_t s) {
        SpecularPercents p;
        const bool white = cls == WhitePieces, black = cls == BlackPieces;
        (white ? p.whiteAmplitude : black ? p.blackAmplitude : p.boardAmplitude) = a;
        (white ? p.whiteShininess : black ? p.blackShininess : p.boardShininess) = s;
        return p;
    };
    for (SpecularClass cls : {Board, BlackPieces, WhitePieces}) {
        for (const auto& [read, percent, written] : amplitude) {
            EXPECT_EQ(ScaleSpecularBytes(read, 77, cls, only(cls, percent, 100)),
                      (SpecularBytes{written, 77}))
                << int{read} << " at A=" << percent;
        }
        for (const auto& [read, percent, written] : shininess) {
            EXPECT_EQ(ScaleSpecularBytes(77, read, cls, only(cls, 100, percent)),
                      (SpecularBytes{77, written}))
                << int{read} << " at S=" << percent;
        }
    }
    EXPECT_EQ(ScaleSpecularBytes(200, 100, None, only(Board, 0, 0)), (SpecularBytes{200, 100}));
}

}  // namespace
}  // namespace sorrelwick::specular
