#pragma once
// The class of every material that a recognised object uses, filled by the
// classification pass and read while the set is rewritten.

#include <cstddef>

#include "specular/chunk_keys.h"
#include "specular/flat_key_map.h"
#include "specular/specular_class.h"

namespace sorrelwick::specular {

// One class per material key; a later classification overwrites an earlier.
class MaterialClassTable {
public:
    // Records `cls` (Board, BlackPieces or WhitePieces) for `material`.
    // False when a new entry can't be allocated; the table is then unchanged.
    bool SetClass(ChunkKey material, SpecularClass cls);
    // None for a material with no entry.
    SpecularClass ClassOf(ChunkKey material) const;
    void Clear() { classes_.Clear(); }
    std::size_t Size() const { return classes_.Size(); }

private:
    FlatKeyMap<SpecularClass> classes_;
};

}  // namespace sorrelwick::specular
