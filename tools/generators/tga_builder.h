#pragma once
// Builds TGA images of every kind the tool decodes, together with the exact
// RGBA pixels a correct decoder gives for them.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sorrelwick::gen {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// The colour of pixel (x, y), y counted from the top.
using PixelFunction = std::function<Rgba(unsigned x, unsigned y)>;

// Pixels come from `pixel`; the depth decides how many bytes each takes
// (8: grey, 16: 5-5-5, 24: BGR, 32: BGRA; any other depth: depth/8 bytes,
// rounded up, of the grey value). Image type 2, or 3 for 8 bits; top-left
// origin; no ID field, no colour map.
std::vector<std::uint8_t> MakeTga(std::uint16_t width, std::uint16_t height, std::uint8_t depth,
                                  const PixelFunction& pixel);

// A plain image of one colour.
std::vector<std::uint8_t> MakeTga(std::uint16_t width, std::uint16_t height, std::uint8_t depth,
                                  Rgba colour = {128, 128, 128, 255});

// Everything a built image can vary.
struct TgaLayout {
    // 1, 2, 3 (colour-mapped, true-colour, grey) or 9, 10, 11 (their
    // run-length forms).
    std::uint8_t imageType = 2;
    // Pixel bits: true colour 15, 16, 24 or 32; grey 8; colour index 8 or 16.
    std::uint8_t depth = 24;
    // Colour-mapped types only: bits of a map entry (15, 16, 24 or 32) and
    // the pixel value of the first entry.
    std::uint8_t mapEntryBits = 24;
    std::uint16_t mapFirstIndex = 0;
    // 16-bit values (pixels or map entries): declare one attribute bit, so
    // the top bit is the alpha.
    bool alphaBit = false;
    bool topToBottom = true;   // descriptor bit 5; false: bottom row first
    bool rightToLeft = false;  // descriptor bit 4
    std::string id;            // the ID field, at most 255 bytes
};

struct BuiltTga {
    std::vector<std::uint8_t> file;  // the .tga file's bytes
    // What a decoder gives: rows top to bottom, left to right, R, G, B, A,
    // each colour as the format holds it (5-bit values widened as
    // v << 3 | v >> 2, grey as R = G = B, alpha 255 where none is stored).
    std::vector<std::uint8_t> rgba;
};

// Colour-mapped layouts take the distinct colours of the image, in the
// order first met, as the map; throws std::invalid_argument when there are
// more than the index depth can address, or for a layout the tool does not
// decode. Run-length types are encoded with both packet kinds (runs of equal
// pixels repeat, others are literal), packets crossing rows.
BuiltTga BuildTga(const TgaLayout& layout, std::uint16_t width, std::uint16_t height,
                  const PixelFunction& pixel);

}  // namespace sorrelwick::gen
