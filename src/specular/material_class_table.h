#pragma once
// The class of every material that a recognised object uses, filled by the
// classification pass and read while the set is rewritten.

#include <cstddef>
#include <unordered_map>

#include "specular/chunk_keys.h"
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
    void Clear() { classes_.clear(); }
    std::size_t Size() const { return classes_.size(); }

  private:
    std::unordered_map<ChunkKey, SpecularClass, ChunkKeyHash> classes_;
};

}  // namespace sorrelwick::specular
