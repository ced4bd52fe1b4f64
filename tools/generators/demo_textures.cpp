#include "generators/demo_textures.h"

#include <array>
#include <cstdlib>

namespace sorrelwick::gen {
namespace {

// A well-mixed byte for one lattice point.
unsigned Hash(unsigned x, unsigned y, unsigned seed) {
    unsigned h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13u)) * 1274126177u;
    return (h ^ (h >> 16u)) & 0xFFu;
}

unsigned Lerp(unsigned a, unsigned b, unsigned t, unsigned span) {
    return (a * (span - t) + b * t) / span;
}

// Smooth noise, 0 to 255, with one random value every `cell` pixels.
unsigned ValueNoise(unsigned x, unsigned y, unsigned cell, unsigned seed) {
    const unsigned cx = x / cell, cy = y / cell, fx = x % cell, fy = y % cell;
    const unsigned top = Lerp(Hash(cx, cy, seed), Hash(cx + 1, cy, seed), fx, cell);
    const unsigned bottom = Lerp(Hash(cx, cy + 1, seed), Hash(cx + 1, cy + 1, seed), fx, cell);
    return Lerp(top, bottom, fy, cell);
}

// 0 rising to 255 and back to 0 over each `period`.
unsigned Triangle(unsigned t, unsigned period) {
    const unsigned half = period / 2, p = t % period;
    return (p < half ? p : period - p) * 255u / half;
}

std::uint8_t Channel(unsigned value) {
    return static_cast<std::uint8_t>(value > 255 ? 255 : value);
}

// `a` at t = 0 to `b` at t = 255.
Rgba Mix(Rgba a, Rgba b, unsigned t) {
    auto mix = [t](std::uint8_t from, std::uint8_t to) {
        return Channel((from * (255u - t) + to * t) / 255u);
    };
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), 255};
}

Rgba Scaled(Rgba c, unsigned brightness) {
    return {Channel(c.r * brightness / 255u), Channel(c.g * brightness / 255u),
            Channel(c.b * brightness / 255u), c.a};
}

constexpr Rgba kTransparent{0, 0, 0, 0};

// Half the width of the pawn at row `v` of a 32 x 64 outline, doubled so that
// the centre line falls between two columns; negative where the row is empty.
int PawnHalfWidthTwice(int v) {
    if (v >= 20 && v < 24) return 12;                           // collar
    if (v >= 24 && v < 50) return 2 * (4 + (v - 24) * 7 / 25);  // body, widening
    if (v >= 50 && v < 58) return 26;                           // foot
    return -1;
}

bool InsidePawn(int u, int v) {
    const int du = 2 * u + 1 - 32;
    const int dv = 2 * v + 1 - 26;
    if (du * du + dv * dv <= 4 * 49) return true;  // head
    return std::abs(du) <= PawnHalfWidthTwice(v);
}

struct Glyph {
    char character;
    std::array<std::uint8_t, 7> rows;  // five columns each, leftmost in bit 4
};

constexpr std::array<Glyph, 16> kGlyphs = {{
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
}};

const Glyph* GlyphFor(char c) {
    for (const Glyph& glyph : kGlyphs) {
        if (glyph.character == c) return &glyph;
    }
    return nullptr;
}

// Whether pixel (x, y) of a square cell of side `side` is inked for `glyph`.
bool Inked(const Glyph& glyph, unsigned x, unsigned y, unsigned side) {
    const unsigned scale = side / 10 ? side / 10 : 1;
    const unsigned left = (side - 5 * scale) / 2, top = (side - 7 * scale) / 2;
    if (x < left || y < top) return false;
    const unsigned column = (x - left) / scale, row = (y - top) / scale;
    if (column >= 5 || row >= 7) return false;
    return (static_cast<unsigned>(glyph.rows[row]) >> (4u - column)) & 1u;
}

}  // namespace

std::vector<std::uint8_t> DrawMarble(std::uint16_t width, std::uint16_t height, std::uint8_t depth,
                                     Rgba light, Rgba dark) {
    return MakeTga(width, height, depth, [light, dark](unsigned x, unsigned y) {
        const unsigned t = x * 2 + y + ValueNoise(x, y, 16, 1) / 2 + ValueNoise(x, y, 4, 2) / 8;
        const unsigned vein = 255 - Triangle(t, 48);
        return Mix(light, dark, vein * vein / 255u * vein / 255u);
    });
}

std::vector<std::uint8_t> DrawPawnSilhouette(std::uint16_t width, std::uint16_t height,
                                             std::uint8_t depth, Rgba colour) {
    return MakeTga(width, height, depth, [width, height, colour](unsigned x, unsigned y) {
        const int u = static_cast<int>(x * 32u / width), v = static_cast<int>(y * 64u / height);
        if (!InsidePawn(u, v)) return kTransparent;
        const unsigned brightness = 80u + static_cast<unsigned>(31 - u) * 175u / 31u;
        return Scaled(colour, brightness);
    });
}

std::vector<std::uint8_t> DrawCheckeredSquares(std::uint16_t side, std::uint8_t depth,
                                               unsigned squares) {
    const unsigned cell = squares && side >= squares ? side / squares : 1;
    return MakeTga(side, side, depth, [cell](unsigned x, unsigned y) {
        const unsigned grain = ValueNoise(x, y * 8, 4, 3) / 8;
        const bool lightSquare = (x / cell + y / cell) % 2 == 0;
        return lightSquare ? Rgba{Channel(235 - grain), Channel(215 - grain), Channel(175 - grain)}
                           : Rgba{Channel(120 - grain / 2), Channel(75 - grain / 2), 45};
    });
}

std::vector<std::uint8_t> DrawWoodFrame(std::uint16_t width, std::uint16_t height,
                                        std::uint8_t depth) {
    return MakeTga(width, height, depth, [](unsigned x, unsigned y) {
        const unsigned t = y * 6 + ValueNoise(x, y, 32, 5) / 3 + ValueNoise(x, y, 8, 6) / 16;
        return Mix({170, 110, 60, 255}, {100, 58, 28, 255}, Triangle(t, 40));
    });
}

std::vector<std::uint8_t> DrawCharacterStrip(std::uint16_t width, std::uint16_t height,
                                             std::uint8_t depth, std::string_view text) {
    const unsigned side = height ? height : 1;
    return MakeTga(width, height, depth, [text, side](unsigned x, unsigned y) {
        const unsigned cell = x / side;
        const Glyph* glyph = cell < text.size() ? GlyphFor(text[cell]) : nullptr;
        if (!glyph || !Inked(*glyph, x % side, y, side)) return kTransparent;
        return Rgba{240, 230, 200, 255};
    });
}

}  // namespace sorrelwick::gen
