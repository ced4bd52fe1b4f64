#include "specular/specular_scaling.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/specular_printing.h"

namespace sorrelwick::specular {
namespace {

using enum SpecularClass;

struct ByteCase {
    std::uint8_t read;
    std::uint32_t percent;
    std::uint8_t expected;
};

// The same pair for every class. Each case leaves the other byte's percent at
// 100, so that byte must come back as it was: the two are independent.
SpecularPercents Everywhere(std::uint32_t amplitude, std::uint32_t shininess) {
    return {shininess, amplitude, shininess, amplitude, shininess, amplitude};
}

TEST(ScaleSpecularBytes, AmplitudeIsMultipliedAndShininessDividedByItsPercent) {
    const std::vector<ByteCase> amplitude = {
        {200, 50, 100},
        {200, 200, 255},
        {3, 50, 1},
        {77, 0, 0},
        {255, 4294967295u, 255},
        {128, 100, 128},
        {255, 100, 255},
        {0, 4294967295u, 0},
        {1, 25600, 255},
        {1, 25499, 254},
        {1, 199, 1},
        {2, 12750, 255},
        {100, 1, 1},
        // Products past 32 bits must not wrap.
        {255, 16843010u, 255},
        {100, 42949673u, 255},
    };
    const std::vector<ByteCase> shininess = {
        {50, 200, 25}, {50, 50, 100},   {50, 10, 255},   {0, 30, 0},
        {0, 0, 255},   {200, 100, 200}, {77, 0, 255},    {255, 4294967295u, 0},
        {3, 200, 1},   {255, 99, 255},  {128, 100, 128},
    };
    for (SpecularClass cls : {Board, BlackPieces, WhitePieces}) {
        for (const ByteCase& c : amplitude) {
            EXPECT_EQ(ScaleSpecularBytes(c.read, 77, cls, Everywhere(c.percent, 100)),
                      (SpecularBytes{c.expected, 77}))
                << int{c.read} << " at A=" << c.percent;
        }
        for (const ByteCase& c : shininess) {
            EXPECT_EQ(ScaleSpecularBytes(77, c.read, cls, Everywhere(100, c.percent)),
                      (SpecularBytes{77, c.expected}))
                << int{c.read} << " at S=" << c.percent;
        }
    }
}

TEST(ScaleSpecularBytes, EachClassTakesItsOwnPair) {
    SpecularPercents p;
    p.whiteAmplitude = 50;
    p.whiteShininess = 200;
    p.blackAmplitude = 25;
    p.blackShininess = 50;
    p.boardAmplitude = 0;
    p.boardShininess = 0;
    EXPECT_EQ(ScaleSpecularBytes(200, 100, WhitePieces, p), (SpecularBytes{100, 50}));
    EXPECT_EQ(ScaleSpecularBytes(200, 100, BlackPieces, p), (SpecularBytes{50, 200}));
    EXPECT_EQ(ScaleSpecularBytes(200, 100, Board, p), (SpecularBytes{0, 255}));
    EXPECT_EQ(ScaleSpecularBytes(200, 100, None, p), (SpecularBytes{200, 100}));
}

}  // namespace
}  // namespace sorrelwick::specular
