#pragma once
// The class of every material that a recognised object uses, gathered by the
// classification pass and read while the set is rewritten.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "specular/block_list.h"
#include "specular/chunk_keys.h"
#include "specular/flat_key_map.h"
#include "specular/specular_class.h"

namespace sorrelwick::specular {

// A material chunk shorter than this has no specular bytes to scale.
inline constexpr std::size_t kMinScaledMaterialSize = 18;

// One class per material key; a later classification overwrites an earlier.
//
// A set can hold a million materials, in any order. Putting each class into
// a hash table as its name comes would touch a random cache line each time
// and grow the table again and again; looking each material chunk up while
// rewriting would do the same. So the walk only appends, in two lists: the
// classes in the order the names gave them, and the material chunks' keys
// in file order. Resolve then builds the table once, at its final size,
// and looks every noted chunk up in one pass, loading slots a few keys
// ahead; ClassOfNext hands the results out in file order.
class MaterialClassTable {
public:
    // Records `cls` (Board, BlackPieces or WhitePieces) for `material`.
    // False when the record can't be kept for want of memory.
    bool SetClass(ChunkKey material, SpecularClass cls);
    // Notes the next material chunk of the file. Noting needs memory but
    // never fails: without it, ClassOfNext falls back on ClassOf.
    void NoteMaterialChunk(ChunkKey material);

    // Builds the table from the records, the latest record of a key winning,
    // then finds the class of every noted chunk. False, with no classes at
    // all, when the table's memory can't be had. Nothing is recorded after.
    bool Resolve();

    // None for a material with no class; valid once resolved.
    SpecularClass ClassOf(ChunkKey material) const;
    // The class of the next material chunk; the noted order serves it when
    // its key is the one noted next, the table otherwise.
    SpecularClass ClassOfNext(ChunkKey material);

    void Clear();
    // The number of materials with a class, once resolved.
    std::size_t Size() const { return classes_.Size(); }

private:
    struct Record {
        ChunkKey material;
        SpecularClass cls;
    };

    bool BuildTable();
    void ResolveNoted();

    BlockList<Record> records_;             // classes in the order given
    BlockList<ChunkKey> noted_;             // material chunk keys in file order
    FlatKeyMap<std::uint8_t> classes_;      // built by Resolve
    std::unique_ptr<std::uint8_t[]> resolved_;  // classes of the noted chunks
    std::size_t next_ = 0;                  // the next noted chunk of the rewrite
    bool notingFailed_ = false;
};

}  // namespace sorrelwick::specular
