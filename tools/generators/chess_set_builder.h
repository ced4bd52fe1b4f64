#pragma once
// Builds chess-set files chunk by chunk: every chunk kind the tool reads,
// plus malformed bytes (wrong lengths, short payloads, trailing fragments).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "format/chunk.h"

namespace sorrelwick::gen {

using format::ChunkKey;

class ChessSetBuilder {
public:
    // The signature header (kind 0x716D0DA4, length 0).
    ChessSetBuilder& Signature(std::uint32_t variant = 0);

    // A chunk with a header whose length is the payload's size.
    ChessSetBuilder& Chunk(std::uint32_t kind, std::uint32_t variant,
                           const std::vector<std::uint8_t>& payload);
    // A header that claims `length` bytes, followed by `payload` as given.
    ChessSetBuilder& ChunkClaiming(std::uint32_t kind, std::uint32_t variant, std::uint32_t length,
                                   const std::vector<std::uint8_t>& payload);

    // Material chunk: key, specular bytes, and a texture name (flag 0 when
    // the name is empty). The payload is 36 bytes plus the name and its NUL.
    ChessSetBuilder& Material(ChunkKey key, const std::string& textureName,
                              std::uint8_t amplitude = 0, std::uint8_t shininess = 0);
    ChessSetBuilder& TextureImage(const std::vector<std::uint8_t>& tga);
    ChessSetBuilder& TextureReference(const std::string& name);
    // Object chunk listing its materials; variant 100 unless told otherwise.
    ChessSetBuilder& Object(ChunkKey key, const std::vector<ChunkKey>& materials,
                            std::uint32_t variant = format::kMaterialListVariant);
    ChessSetBuilder& ObjectName(ChunkKey key, const std::string& name);
    // Bytes appended as they are.
    ChessSetBuilder& Raw(const std::vector<std::uint8_t>& bytes);

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    // Writes the file; false when it could not be written whole.
    bool WriteTo(const std::string& path) const;

private:
    std::vector<std::uint8_t> bytes_;
};

// Payload builders, for tests that need to shape a payload themselves.
std::vector<std::uint8_t> MaterialPayload(ChunkKey key, const std::string& textureName,
                                          std::uint8_t amplitude, std::uint8_t shininess);
std::vector<std::uint8_t> TextureReferencePayload(const std::string& name);
std::vector<std::uint8_t> ObjectPayload(ChunkKey key, const std::vector<ChunkKey>& materials);
std::vector<std::uint8_t> ObjectNamePayload(ChunkKey key, const std::string& name);

// Reads a whole file; empty when it can't be read.
// Paths are UTF-8, as the tool's own, on every system.
std::filesystem::path Utf8Path(const std::string& path);
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace sorrelwick::gen
