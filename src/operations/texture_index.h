#pragma once
// Where each texture of a chess set lies in its file, found without reading
// the images: what a view of the textures needs to show any one of them
// later, and to find a texture by the name the listing prints.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sorrelwick::operations {

struct IndexedTexture {
    std::string name;          // as the listing prints it
    std::uint64_t offset = 0;  // of its image in the set's file
    std::uint32_t length = 0;  // of its image
    std::uint16_t width = 0;   // from its TGA header
    std::uint16_t height = 0;
    std::uint8_t depth = 0;
};

// Every texture the listing lists, in file order; nullopt when the file can't
// be opened or read whole, or is no chess set. Reads the chunk headers and
// the names, and of each image its header alone.
std::optional<std::vector<IndexedTexture>> IndexTextures(const std::string& setPath);

// The image of `texture`, read again from the set's file; empty when it
// can't be read (the set changed, memory ran out).
std::vector<std::uint8_t> ReadTextureImage(const std::string& setPath,
                                           const IndexedTexture& texture);

// The texture that `request` names among `textures`: "NAME", or "NAME#n" for
// the n-th texture of that name (from 1, so "NAME#1" is "NAME"). A texture
// whose own name is `request` is found first. nullopt when none is.
std::optional<std::size_t> FindTexture(const std::vector<IndexedTexture>& textures,
                                       std::string_view request);

}  // namespace sorrelwick::operations
