#pragma once
// A mod's manifest, mod.json: what the mod was made from and, piece by
// piece, what it changes. Texture names are the bytes the set holds; one
// that is not UTF-8 text is kept in the manifest as hexadecimal digits.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format/chunk.h"
#include "specular/specular_class.h"

namespace sorrelwick::mod {

inline constexpr int kModFormat = 1;
inline constexpr std::string_view kManifestEntry = "mod.json";
inline constexpr std::string_view kPreviewEntry = "preview.html";

// The set the changes were made on.
struct ModBase {
    std::string fileName;
    std::uint64_t size = 0;
    std::string sha256;  // 64 lower-case hexadecimal digits
};

struct ModTexture {
    std::string name;            // as the set holds it
    std::size_t occurrence = 1;  // the n-th texture of this name, from 1
    std::string baseSha256;      // of the payload the change was made on
    std::string newSha256;       // of the mod's payload
    std::uint32_t size = 0;      // of the mod's payload
    std::string entry;           // the archive entry that holds it
};

struct SpecularBytes {
    std::uint8_t shininess = 0;
    std::uint8_t amplitude = 0;
    friend bool operator==(const SpecularBytes&, const SpecularBytes&) = default;
};

struct ModMaterial {
    format::ChunkKey key;
    std::size_t occurrence = 1;  // the n-th material of this key, from 1
    specular::SpecularClass cls = specular::SpecularClass::None;
    SpecularBytes base;
    SpecularBytes now;
};

struct ModManifest {
    std::string title, author, description;  // empty when not given
    std::string tool;                        // the version that packed it
    ModBase base;
    std::vector<ModTexture> textures;
    std::vector<ModMaterial> materials;
};

// Two-space indented JSON, keys in a fixed order, ending in a newline.
std::string ManifestJson(const ModManifest& manifest);

// The manifest `json` holds, or nullopt when it is not JSON of this
// format with every field in range.
std::optional<ModManifest> ParseManifest(std::string_view json);

}  // namespace sorrelwick::mod
