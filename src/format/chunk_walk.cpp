#include "format/chunk_walk.h"

#include "format/byte_fields.h"
#include "format/tga_fields.h"
#include "platform/memory.h"

namespace sorrelwick::format {
namespace {

// Payload offsets of the texture names and the material's texture flag.
constexpr std::size_t kMaterialTextureFlagOffset = 24;
constexpr std::size_t kMaterialTextureNameOffset = 36;
constexpr std::size_t kReferenceTextureNameOffset = 44;

std::string_view MaterialTextureName(Bytes payload) {
    // A payload too short for the flag counts as flag 0.
    const auto flag = U32At(payload, kMaterialTextureFlagOffset);
    if (!flag || *flag == 0) return {};
    return TextAt(payload, kMaterialTextureNameOffset);
}

}  // namespace

void ChunkWalk::Fail(std::string message, platform::SystemError cause) {
    result = false;
    heldFailure = std::move(message);
    heldCause = cause;
}

std::optional<ChunkHeader> ReadSetSignature(platform::File& file) {
    HeaderBytes bytes{};
    if (file.Read(bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
    const ChunkHeader header = DecodeHeader(bytes);
    if (header.kind != kSetSignature || header.length != 0) return std::nullopt;
    return header;
}

ChunkRead ReadNextHeader(platform::File& file, ChunkWalk& walk) {
    HeaderBytes bytes{};
    const std::size_t got = file.Read(bytes.data(), bytes.size());
    if (got != bytes.size()) {
        walk.tail = bytes;
        walk.tailSize = got;
        return {
            file.ReadFailed() ? ChunkStatus::ReadFailure : ChunkStatus::End, {}, file.LastError()};
    }
    ChunkRead read{ChunkStatus::Chunk, Chunk{DecodeHeader(bytes), {}}};
    const std::uint32_t length = read.chunk.header.length;
    const auto remaining = file.Remaining();
    if (length != 0 && remaining && *remaining < length) return {ChunkStatus::ReadFailure, {}};
    return read;
}

ChunkRead ReadPayload(platform::File& file, ChunkWalk& walk, const ChunkHeader& header) {
    ChunkRead read{ChunkStatus::Chunk, Chunk{header, {}}};
    const std::uint32_t length = header.length;
    if (length == 0) return read;
    if (length > walk.payloadCapacity) {
        // The old buffer goes first, so that one payload at most is held.
        walk.ReleasePayload();
        walk.payload = platform::AllocateBytes(length);
        if (!walk.payload) return {ChunkStatus::OutOfMemory, {}};
        walk.payloadCapacity = length;
    }
    if (file.Read(walk.payload.get(), length) != length) {
        // A file that shrank meanwhile ends early with no system cause.
        return {ChunkStatus::ReadFailure, {}, file.LastError()};
    }
    read.chunk.payload = Bytes(walk.payload.get(), length);
    return read;
}

ChunkRead SkipPayload(platform::File& file, const ChunkHeader& header) {
    if (header.length != 0 && !file.SeekTo(file.Position() + header.length)) {
        return {ChunkStatus::ReadFailure, {}, file.LastError()};
    }
    return {ChunkStatus::Chunk, Chunk{header, {}}};
}

ChunkRead ReadNextChunk(platform::File& file, ChunkWalk& walk) {
    if (ChunkRead read{ChunkStatus::Chunk, {}}; ReadBufferedChunk(file, walk, read.chunk))
        return read;
    const ChunkRead header = ReadNextHeader(file, walk);
    if (header.status != ChunkStatus::Chunk) return header;
    return ReadPayload(file, walk, header.chunk.header);
}

void TrackNamingChunk(ChunkWalk& walk, const Chunk& chunk) {
    if (chunk.header.kind == kMaterialChunk) {
        // Most materials name no texture: nothing to copy.
        if (const std::string_view name = MaterialTextureName(chunk.payload); name.empty()) {
            walk.currentTextureName.clear();
        } else {
            walk.currentTextureName = name;
        }
    } else {
        walk.currentTextureName = TextAt(chunk.payload, kReferenceTextureNameOffset);
    }
}

}  // namespace sorrelwick::format
