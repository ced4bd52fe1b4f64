#pragma once
// Which materials each object uses, from the object chunks read so far,
// until the object's name chunk comes and classifies them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <vector>

#include "format/byte_fields.h"
#include "specular/chunk_keys.h"
#include "specular/flat_key_map.h"

namespace sorrelwick::specular {

// Most objects use one material: that one is kept in the entry itself, so
// a million objects don't cost a million small allocations.
struct ObjectEntry {
    ChunkKey object;
    ChunkKey onlyMaterial;                  // the list, when it holds one key
    std::unique_ptr<ChunkKey[]> materials;  // the list in file order, when longer
    std::uint32_t count = 0;
    std::uint32_t older = 0;  // the next older entry with this key; free entries: the next free

    std::span<const ChunkKey> Materials() const {
        return {count == 1 ? &onlyMaterial : materials.get(), count};
    }
};

// The same object key may be added several times; lookups find the newest
// entry with a key, and each entry serves one name chunk before it is
// removed. Indexed by key, so each operation costs the same however many
// objects the set has.
class ObjectLinkTable {
public:
    // Adds an entry holding the keys of `keyList` (8 bytes each, first word
    // then second word, little-endian); a list with no key adds nothing.
    // False when the entry can't be allocated; the table is then unchanged.
    bool AddObject(ChunkKey object, format::Bytes keyList);
    // The newest entry with `object`, or null. Valid until the table changes.
    const ObjectEntry* FindObject(ChunkKey object) const;
    // Removes the newest entry with `object` and releases its list, if there
    // is one.
    void RemoveObject(ChunkKey object);
    // Removes every entry and releases all memory.
    void Clear();
    std::size_t Size() const { return entries_.size() - freeCount_ + (holding_ ? 1 : 0); }

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;
    // Adds the entry to the indexed entries; false when memory runs out,
    // the table then unchanged.
    bool Store(ChunkKey object, format::Bytes keyList);

    // The newest entry, when it lists one material, is held apart until
    // the next is added: an object's name chunk most often comes right after
    // its object chunk, and then the entry is used and removed without ever
    // touching the index.
    ObjectEntry held_;
    std::array<std::uint8_t, kChunkKeySize> heldKeyList_{};  // as its object chunk holds it
    bool holding_ = false;

    // Every key's newest entry; older ones hang from it by `older`.
    FlatKeyMap<std::uint32_t> newest_;
    // A deque: a million waiting objects grow it without ever moving it.
    std::deque<ObjectEntry> entries_;
    std::uint32_t freeHead_ = kNone;  // removed entries, reused before the array grows
    std::size_t freeCount_ = 0;
};

}  // namespace sorrelwick::specular
