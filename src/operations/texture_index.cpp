#include "operations/texture_index.h"

#include <algorithm>
#include <charconv>
#include <new>

#include "format/chunk_walk.h"
#include "format/tga_fields.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/memory.h"

namespace sorrelwick::operations {
namespace {

// Enough of an image for its header fields.
constexpr std::size_t kImageHeadSize = 18;

// Reads the payload a name is taken from; false when it can't be read.
bool ReadNamingPayload(platform::File& file, std::uint32_t length,
                       std::vector<std::uint8_t>& into) {
    into.resize(length);
    return file.Read(into.data(), length) == length;
}

// Records a named image of the walk and moves past it.
bool IndexImage(platform::File& file, std::uint32_t length, const std::string& name,
                std::vector<IndexedTexture>& textures) {
    std::uint8_t head[kImageHeadSize] = {};
    const std::uint64_t start = file.Position();
    const std::size_t wanted = std::min<std::size_t>(length, kImageHeadSize);
    if (file.Read(head, wanted) != wanted) return false;
    const auto fields = format::ReadTgaFields(format::Bytes(head, wanted));
    if (fields && length >= format::kMinTextureImageSize) {
        textures.push_back({platform::NameForReport(name), start, length, fields->width,
                            fields->height, fields->depth});
    }
    return file.SeekTo(start + length);
}

}  // namespace

std::optional<std::vector<IndexedTexture>> IndexTextures(const std::string& setPath) {
    platform::File file = platform::File::OpenForReading(setPath);
    if (!file.IsOpen() || !format::ReadSetSignature(file)) return std::nullopt;
    std::vector<IndexedTexture> textures;
    format::ChunkWalk walk;
    std::vector<std::uint8_t> naming;
    format::HeaderBytes bytes{};
    try {
        while (file.Read(bytes.data(), bytes.size()) == bytes.size()) {
            const format::ChunkHeader header = format::DecodeHeader(bytes);
            const auto remaining = file.Remaining();
            if (!remaining || *remaining < header.length) return std::nullopt;
            format::Chunk chunk{header, {}};
            if (format::NamesNextTexture(header.kind)) {
                if (!ReadNamingPayload(file, header.length, naming)) return std::nullopt;
                chunk.payload = format::Bytes(naming.data(), header.length);
            } else if (header.kind == format::kTextureImageChunk &&
                       !walk.currentTextureName.empty() && header.length != 0) {
                if (!IndexImage(file, header.length, walk.currentTextureName, textures))
                    return std::nullopt;
            } else if (!file.SeekTo(file.Position() + header.length)) {
                return std::nullopt;
            }
            format::TrackTextureName(walk, chunk);
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (file.ReadFailed()) return std::nullopt;
    return textures;
}

std::vector<std::uint8_t> ReadTextureImage(const std::string& setPath,
                                           const IndexedTexture& texture) {
    platform::File file = platform::File::OpenForReading(setPath);
    if (!file.IsOpen() || !file.SeekTo(texture.offset)) return {};
    try {
        std::vector<std::uint8_t> image(texture.length);
        if (file.Read(image.data(), image.size()) != image.size()) return {};
        return image;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::optional<std::size_t> FindTexture(const std::vector<IndexedTexture>& textures,
                                       std::string_view request) {
    const auto named = [&](std::string_view name,
                           std::size_t occurrence) -> std::optional<std::size_t> {
        for (std::size_t i = 0; i < textures.size(); ++i) {
            if (textures[i].name == name && --occurrence == 0) return i;
        }
        return std::nullopt;
    };
    if (const auto whole = named(request, 1)) return whole;
    const std::size_t hash = request.rfind('#');
    if (hash == std::string_view::npos) return std::nullopt;
    const std::string_view digits = request.substr(hash + 1);
    std::size_t occurrence = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), occurrence);
    if (error != std::errc() || end != digits.data() + digits.size() || occurrence == 0 ||
        digits.front() == '0') {
        return std::nullopt;
    }
    return named(request.substr(0, hash), occurrence);
}

}  // namespace sorrelwick::operations
