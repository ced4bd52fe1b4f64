#pragma once
// The textures --texture names, taken against the set's own textures before
// anything is done: each texture named once, and a name holding '=' told
// from the file that follows it.

#include <string>
#include <vector>

namespace sorrelwick::cli {

struct NamedTexture {
    std::string name;  // as FindTexture takes it: "NAME" or "NAME#n"
    std::string file;  // replace's FILE; empty for extract
};

struct TextureNaming {
    std::vector<NamedTexture> textures;
    std::string usageError;  // why the names can't be taken; empty when they can
};

// `texts` as given to --texture: "NAME", or "NAME=FILE" when `withFile`.
// "NAME=FILE" is split at the '=' that leaves a name the set holds (the
// first '=' when none does, so that the operation says the name is not
// there); two such places are ambiguous. Two texts naming one texture are
// refused, naming both. A set that can't be read is left to the operation.
TextureNaming NameTextures(const std::string& setPath, const std::vector<std::string>& texts,
                           bool withFile);

}  // namespace sorrelwick::cli
