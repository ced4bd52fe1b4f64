#pragma once
// Chunk keys as the specularity tables index them.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "format/byte_fields.h"
#include "format/chunk.h"

namespace sorrelwick::specular {

using format::ChunkKey;

inline constexpr std::size_t kChunkKeySize = 8;

// The key whose first word stands at `offset`, then its second word.
inline std::optional<ChunkKey> KeyAt(format::Bytes bytes, std::size_t offset) {
    const auto first = format::U32At(bytes, offset);
    const auto second = format::U32At(bytes, offset + 4);
    if (!first || !second) return std::nullopt;
    return ChunkKey{*first, *second};
}

// Both words mixed into every bit of the hash, so that keys that differ only
// in their high bits or only in one word still spread over the buckets.
// Keys come from untrusted files: the seed, chosen at random for each table,
// keeps a crafted file from piling its keys onto one probe run.
struct ChunkKeyHash {
    std::uint64_t seed = 0;

    std::size_t operator()(const ChunkKey& key) const noexcept {
        std::uint64_t x = (std::uint64_t{key.first} << 32 | key.second) ^ seed;
        x ^= x >> 30;
        x *= 0xBF58476D1CE4E5B9u;
        x ^= x >> 27;
        x *= 0x94D049BB133111EBu;
        x ^= x >> 31;
        return static_cast<std::size_t>(x);
    }
};

}  // namespace sorrelwick::specular
