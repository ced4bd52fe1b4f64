#pragma once
// The demo chess sets: one per naming style (A1_demo.DAT to D1_demo.DAT),
// with textures drawn by our own code, materials, texture references,
// objects and object names. Each comes with a manifest of what it holds, so
// that tests can check every operation against it.

#include <cstdint>
#include <string>
#include <vector>

#include "format/chunk.h"

namespace sorrelwick::gen {

using format::ChunkKey;

inline constexpr unsigned kDemoStyleCount = 4;

// The SpecularClass a material should get from the classification.
inline constexpr std::uint32_t kClassNone = 0;
inline constexpr std::uint32_t kClassBoard = 1;
inline constexpr std::uint32_t kClassBlack = 2;
inline constexpr std::uint32_t kClassWhite = 3;

struct DemoTexture {
    std::string name;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t depth = 0;
    std::vector<std::uint8_t> tga;  // the texture image chunk's payload
};

struct DemoMaterial {
    ChunkKey key;
    std::uint8_t amplitude = 0;
    std::uint8_t shininess = 0;
    std::uint32_t specularClass = kClassNone;
    std::string textureName;  // empty: the material names no texture
};

struct DemoObject {
    ChunkKey key;
    std::uint32_t variant = format::kMaterialListVariant;
    std::string name;
    std::vector<ChunkKey> materials;
    // What the name alone denotes in the set's naming style; the materials
    // get it only when the variant lists materials.
    std::uint32_t nameClass = kClassNone;
};

struct DemoSet {
    unsigned style = 0;
    std::string fileName;                 // decides the naming style
    std::vector<std::uint8_t> bytes;      // the whole file
    std::vector<DemoTexture> textures;    // every named texture, in file order
    std::vector<DemoMaterial> materials;  // every material chunk, in file order
    std::vector<DemoObject> objects;      // every object chunk, in file order
};

// The demo set of naming style `style` (0 to 3); throws std::out_of_range
// for any other style. The same style always gives the same bytes.
DemoSet BuildDemoSet(unsigned style);

}  // namespace sorrelwick::gen
