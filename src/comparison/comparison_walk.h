#pragma once
// The walk a comparison makes over its two chess sets: both files side by
// side, chunk by chunk, each holding one payload at a time. It keeps, for
// each file, what the matching needs and nothing of the payloads: a digest
// per texture, the specular bytes per material and one digest of all the
// rest; and whether the two files hold the same bytes, compared exactly.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "format/chunk.h"
#include "comparison/set_comparison.h"
#include "report/report_log.h"

namespace sorrelwick::comparison {

struct TextureRecord {
    std::string name;
    std::size_t occurrence = 1;  // the n-th texture of this name, from 1
    TextureShape shape;
    std::uint32_t variant = 0;  // of its chunk header
    std::uint64_t digest = 0;   // of the whole image
};

struct MaterialRecord {
    format::ChunkKey key;
    std::uint8_t amplitude = 0;
    std::uint8_t shininess = 0;
};

// What one file gave the walk, in file order.
struct SetRecord {
    std::vector<TextureRecord> textures;
    std::vector<MaterialRecord> materials;
    // Every byte but the textures' images and the materials' specular
    // bytes, chunk headers and the bytes after the last chunk included.
    std::uint64_t restDigest = 0;
};

struct WalkedPair {
    SetRecord set;
    SetRecord other;
    bool identical = false;  // byte for byte
};

// Walks both files to their ends; `otherBytes`, when given, gets each
// piece of OTHER's file as it is read. Empty, with the failure lines in
// `log`, when either is not a whole chess set.
std::optional<WalkedPair> WalkBothSets(const ComparedSet& set, const ComparedSet& other,
                                       report::ReportLog& log,
                                       const FileBytesVisit& otherBytes = {});

}  // namespace sorrelwick::comparison
