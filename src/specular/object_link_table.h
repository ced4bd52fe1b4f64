#pragma once
// Which materials each object uses, from the object chunks read so far,
// until the object's name chunk comes and classifies them.

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "format/byte_fields.h"
#include "specular/chunk_keys.h"

namespace sorrelwick::specular {

struct ObjectEntry {
    ChunkKey object;
    std::vector<ChunkKey> materials;  // in file order
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
    // Removes the newest entry with `object`, if there is one.
    void RemoveObject(ChunkKey object);
    void Clear();
    std::size_t Size() const { return size_; }

  private:
    // Per key, its entries oldest first: the newest is at the back.
    std::unordered_map<ChunkKey, std::vector<ObjectEntry>, ChunkKeyHash> entries_;
    std::size_t size_ = 0;
};

}  // namespace sorrelwick::specular
