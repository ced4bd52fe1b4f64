#include "generators/chess_set_builder.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "format/byte_fields.h"

namespace sorrelwick::gen {
namespace {

void AppendU32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    format::PutU32At(bytes, at, value);
}

void PutText(std::vector<std::uint8_t>& bytes, std::size_t at, const std::string& text) {
    bytes.resize(at + text.size() + 1, 0);
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

ChessSetBuilder& ChessSetBuilder::Signature(std::uint32_t variant) {
    return ChunkClaiming(format::kSetSignature, variant, 0, {});
}

ChessSetBuilder& ChessSetBuilder::Chunk(std::uint32_t kind, std::uint32_t variant,
                                        const std::vector<std::uint8_t>& payload) {
    return ChunkClaiming(kind, variant, static_cast<std::uint32_t>(payload.size()), payload);
}

ChessSetBuilder& ChessSetBuilder::ChunkClaiming(std::uint32_t kind, std::uint32_t variant,
                                                std::uint32_t length,
                                                const std::vector<std::uint8_t>& payload) {
    AppendU32(bytes_, kind);
    AppendU32(bytes_, variant);
    AppendU32(bytes_, length);
    return Raw(payload);
}

ChessSetBuilder& ChessSetBuilder::Material(ChunkKey key, const std::string& textureName,
                                           std::uint8_t amplitude, std::uint8_t shininess) {
    return Chunk(format::kMaterialChunk, 0,
                 MaterialPayload(key, textureName, amplitude, shininess));
}

ChessSetBuilder& ChessSetBuilder::TextureImage(const std::vector<std::uint8_t>& tga) {
    return Chunk(format::kTextureImageChunk, 0, tga);
}

ChessSetBuilder& ChessSetBuilder::TextureReference(const std::string& name) {
    return Chunk(format::kTextureReferenceChunk, 0, TextureReferencePayload(name));
}

ChessSetBuilder& ChessSetBuilder::Object(ChunkKey key, const std::vector<ChunkKey>& materials,
                                         std::uint32_t variant) {
    return Chunk(format::kObjectChunk, variant, ObjectPayload(key, materials));
}

ChessSetBuilder& ChessSetBuilder::ObjectName(ChunkKey key, const std::string& name) {
    return Chunk(format::kObjectNameChunk, 0, ObjectNamePayload(key, name));
}

ChessSetBuilder& ChessSetBuilder::Raw(const std::vector<std::uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

bool ChessSetBuilder::WriteTo(const std::string& path) const {
    return WriteWholeFile(path, bytes_);
}

std::vector<std::uint8_t> MaterialPayload(ChunkKey key, const std::string& textureName,
                                          std::uint8_t amplitude, std::uint8_t shininess) {
    std::vector<std::uint8_t> payload(36, 0);
    PutU32(payload, 0, key.first);
    PutU32(payload, 4, key.second);
    payload[16] = amplitude;
    payload[17] = shininess;
    if (!textureName.empty()) {
        PutU32(payload, 24, 1);
        PutText(payload, 36, textureName);
    }
    return payload;
}

std::vector<std::uint8_t> TextureReferencePayload(const std::string& name) {
    std::vector<std::uint8_t> payload(44, 0);
    PutText(payload, 44, name);
    return payload;
}

std::vector<std::uint8_t> ObjectPayload(ChunkKey key, const std::vector<ChunkKey>& materials) {
    std::vector<std::uint8_t> payload(54 + 8 * materials.size(), 0);
    PutU32(payload, 0, key.first);
    PutU32(payload, 4, key.second);
    PutU32(payload, 50, static_cast<std::uint32_t>(materials.size()));
    for (std::size_t i = 0; i < materials.size(); ++i) {
        PutU32(payload, 54 + 8 * i, materials[i].first);
        PutU32(payload, 58 + 8 * i, materials[i].second);
    }
    return payload;
}

std::vector<std::uint8_t> ObjectNamePayload(ChunkKey key, const std::string& name) {
    std::vector<std::uint8_t> payload(8, 0);
    PutU32(payload, 0, key.first);
    PutU32(payload, 4, key.second);
    PutText(payload, 8, name);
    return payload;
}

std::filesystem::path Utf8Path(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream in(Utf8Path(path), std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(Utf8Path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace sorrelwick::gen
