#pragma once
// The chunk walk every operation reads a chess-set file with: the signature
// header first, then chunk after chunk, one payload in memory at a time.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "format/chunk.h"
#include "format/tga_fields.h"
#include "platform/file.h"

namespace sorrelwick::format {

// The state of one walk. It owns the payload buffer, which holds the payload
// of the most recent chunk with a payload. The buffer is as long as the
// longest payload so far: a payload that fits is read into it again.
struct ChunkWalk {
    std::unique_ptr<std::uint8_t[]> payload;
    std::size_t payloadCapacity = 0;
    std::string currentTextureName;
    std::string heldFailure;  // the latest failure recorded during the walk
    platform::SystemError heldCause{};  // the system's cause of it, if any
    bool result = false;
    // The 0 to 11 bytes after the last whole chunk, once the walk has ended:
    // nothing reads them, but a byte-for-byte comparison must see them.
    HeaderBytes tail{};
    std::size_t tailSize = 0;

    // Records a failure: the walk's result becomes 0 and `message` (with
    // the system's `cause` of it) replaces any earlier held message.
    void Fail(std::string message, platform::SystemError cause = {});
    void ReleasePayload() {
        payload.reset();
        payloadCapacity = 0;
    }
};

// Reads the first header; accepted only when all 12 bytes were read, the kind
// is the set signature and the length is 0. Any variant word is accepted.
std::optional<ChunkHeader> ReadSetSignature(platform::File& file);

enum class ChunkStatus { Chunk, End, OutOfMemory, ReadFailure };

struct ChunkRead {
    ChunkStatus status = ChunkStatus::End;
    Chunk chunk;  // valid when status is Chunk; the payload lives in the walk
    platform::SystemError cause{};  // of a read failure the system reported
};

// The next chunk when it lies whole in the file's buffer, as nearly every
// chunk of a set of many small chunks does: its header and payload taken in
// one step. The payload is copied into the walk's buffer when it fits there,
// or with `inPlace` left where the file's buffer holds it, valid until the
// next read of the file (for a walk that only reads its payloads). False,
// with nothing read, otherwise: ReadNextChunk then reads it.
inline bool ReadBufferedChunk(platform::File& file, ChunkWalk& walk, Chunk& chunk,
                              bool inPlace = false) {
    const std::uint8_t* at = file.Buffered(kChunkHeaderSize);
    if (!at) return false;
    const ChunkHeader header = DecodeHeader(at);
    const std::size_t length = header.length;
    if ((!inPlace && length > walk.payloadCapacity) ||
        !(at = file.Buffered(kChunkHeaderSize + length)))
        return false;
    chunk.header = header;
    chunk.payload = {};
    if (length != 0 && inPlace) {
        chunk.payload = Bytes(at + kChunkHeaderSize, length);
    } else if (length != 0) {
        std::memcpy(walk.payload.get(), at + kChunkHeaderSize, length);
        chunk.payload = Bytes(walk.payload.get(), length);
    }
    file.Consume(kChunkHeaderSize + length);
    return true;
}

// Reads the next header and its payload. Zero to eleven bytes before the end
// of the file are the end; a read error is a read failure, as is a length
// that runs past the end of the file (found before any memory is taken).
ChunkRead ReadNextChunk(platform::File& file, ChunkWalk& walk);

// The two halves of ReadNextChunk, for a walk that passes over the payloads
// it doesn't need: the header alone (its payload still to come in the file),
// then either the payload into the walk's buffer or a move past it.
ChunkRead ReadNextHeader(platform::File& file, ChunkWalk& walk);
ChunkRead ReadPayload(platform::File& file, ChunkWalk& walk, const ChunkHeader& header);
ChunkRead SkipPayload(platform::File& file, const ChunkHeader& header);

// Whether the texture name rule reads this kind of chunk's payload: a walk
// that passes over payloads must still read these.
inline bool NamesNextTexture(std::uint32_t kind) {
    return kind == kMaterialChunk || kind == kTextureReferenceChunk;
}

// The texture name rule for a chunk that names the next texture.
void TrackNamingChunk(ChunkWalk& walk, const Chunk& chunk);

// Applies the current texture name rule to one chunk. Inline: a set of a
// million objects passes three million chunks through it.
inline void TrackTextureName(ChunkWalk& walk, const Chunk& chunk) {
    const std::uint32_t kind = chunk.header.kind;
    if (kind == kTextureImageChunk) return;
    if (NamesNextTexture(kind)) {
        TrackNamingChunk(walk, chunk);
    } else {
        walk.currentTextureName.clear();
    }
}

// A texture image chunk that the tool treats as a texture: a current texture
// name and an image long enough to hold its TGA header fields. Told by the
// header, so also of a chunk whose payload was passed over.
inline bool IsNamedTexture(const ChunkWalk& walk, const ChunkHeader& header) {
    return header.kind == kTextureImageChunk && !walk.currentTextureName.empty() &&
           header.length >= kMinTextureImageSize;
}
inline bool IsNamedTexture(const ChunkWalk& walk, const Chunk& chunk) {
    return IsNamedTexture(walk, chunk.header);
}

}  // namespace sorrelwick::format
