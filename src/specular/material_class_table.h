#pragma once
// The class of every material that a recognised object uses, filled by the
// classification pass and read while the set is rewritten.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "specular/chunk_keys.h"
#include "specular/flat_key_map.h"
#include "specular/specular_class.h"

namespace sorrelwick::specular {

// A material chunk shorter than this has no specular bytes to scale.
inline constexpr std::size_t kMinScaledMaterialSize = 18;

// One class per material key; a later classification overwrites an earlier.
//
// The rewrite asks for the class of every material chunk in file order. A
// table probe per chunk would touch a random cache line each time, so the
// classification pass also notes the material chunks' keys in file order;
// once the classes are known, ResolveFileOrder looks them all up in one pass
// over that compact array, loading slots a few keys ahead, and ClassOfNext
// hands them out in order.
class MaterialClassTable {
public:
    // Records `cls` (Board, BlackPieces or WhitePieces) for `material`.
    // False when a new entry can't be allocated; the table is then unchanged.
    bool SetClass(ChunkKey material, SpecularClass cls);
    // None for a material with no entry.
    SpecularClass ClassOf(ChunkKey material) const;
    // A hint that `material` is about to be classified or looked up.
    void Prefetch(ChunkKey material) const { classes_.Prefetch(material); }

    // Notes the next material chunk of the file. Noting needs memory but
    // never fails: without it, ClassOfNext falls back on ClassOf.
    void NoteMaterialChunk(ChunkKey material);
    // Finds the class of every noted material chunk; the table must not
    // change afterwards.
    void ResolveFileOrder();
    // The class of the next material chunk; the noted order serves it when
    // its key is the one noted next, the table otherwise.
    SpecularClass ClassOfNext(ChunkKey material);

    void Clear();
    std::size_t Size() const { return classes_.Size(); }

private:
    FlatKeyMap<std::uint8_t> classes_;
    std::vector<ChunkKey> noted_;         // material chunk keys in file order
    std::vector<std::uint8_t> resolved_;  // their classes, once resolved
    std::size_t next_ = 0;                // the next noted chunk of the rewrite
    bool notingFailed_ = false;
};

}  // namespace sorrelwick::specular
