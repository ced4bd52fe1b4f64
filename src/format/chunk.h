#pragma once
// The chess-set container: a flat sequence of chunks, each a 12-byte header
// and `length` payload bytes. All numbers are little-endian and unsigned.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "format/byte_fields.h"

namespace sorrelwick::format {

inline constexpr std::uint32_t kSetSignature = 0x716D0DA4;
inline constexpr std::size_t kChunkHeaderSize = 12;

// The chunk kinds the tool interprets; every other kind is opaque.
enum ChunkKind : std::uint32_t {
    kMaterialChunk = 2,
    kTextureImageChunk = 3,
    kObjectChunk = 4,
    kObjectNameChunk = 8,
    kTextureReferenceChunk = 13,
};

// Only object chunks of this variant list their materials.
inline constexpr std::uint32_t kMaterialListVariant = 100;

struct ChunkHeader {
    std::uint32_t kind = 0;
    std::uint32_t variant = 0;
    std::uint32_t length = 0;
};

// Identifies a material or an object; equal when both words are equal.
struct ChunkKey {
    std::uint32_t first = 0;
    std::uint32_t second = 0;
    friend bool operator==(const ChunkKey&, const ChunkKey&) = default;
};

// A chunk as the walk delivers it: the payload is empty when length is 0.
struct Chunk {
    ChunkHeader header;
    std::span<const std::uint8_t> payload;
};

using HeaderBytes = std::array<std::uint8_t, kChunkHeaderSize>;

inline HeaderBytes EncodeHeader(const ChunkHeader& header) {
    HeaderBytes bytes;
    StoreU32(&bytes[0], header.kind);
    StoreU32(&bytes[4], header.variant);
    StoreU32(&bytes[8], header.length);
    return bytes;
}

// The header whose 12 bytes start at `bytes`.
inline ChunkHeader DecodeHeader(const std::uint8_t* bytes) {
    return ChunkHeader{LoadU32(bytes), LoadU32(bytes + 4), LoadU32(bytes + 8)};
}

inline ChunkHeader DecodeHeader(const HeaderBytes& bytes) {
    return DecodeHeader(bytes.data());
}

}  // namespace sorrelwick::format
