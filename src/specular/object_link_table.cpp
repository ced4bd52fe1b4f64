#include "specular/object_link_table.h"

#include <new>

#include "platform/memory.h"

namespace sorrelwick::specular {

bool ObjectLinkTable::AddObject(ChunkKey object, format::Bytes keyList) {
    const std::size_t count = keyList.size() / kChunkKeySize;
    if (count == 0) return true;
    // The entry and its key list are obtained together: one allocation for
    // the fault seam to refuse.
    if (!platform::MayAllocate()) return false;
    try {
        // Everything that can fail comes first, so a failure changes nothing.
        std::unique_ptr<ChunkKey[]> materials(count > 1 ? new ChunkKey[count] : nullptr);
        std::uint32_t* newest = newest_.Find(object);
        if (!newest) newest_.Reserve(newest_.Size() + 1);
        if (freeHead_ == kNone) {
            if (entries_.size() >= kNone) return false;
            entries_.emplace_back();
            freeHead_ = static_cast<std::uint32_t>(entries_.size() - 1);
            entries_.back().older = kNone;
            ++freeCount_;
        }
        ChunkKey* list = materials ? materials.get() : &entries_[freeHead_].onlyMaterial;
        for (std::size_t i = 0; i < count; ++i) list[i] = *KeyAt(keyList, i * kChunkKeySize);

        const std::uint32_t index = freeHead_;
        ObjectEntry& entry = entries_[index];
        freeHead_ = entry.older;
        --freeCount_;
        entry.object = object;
        entry.materials = std::move(materials);
        entry.count = static_cast<std::uint32_t>(count);
        if (newest) {
            entry.older = *newest;
            *newest = index;
        } else {
            entry.older = kNone;
            newest_.Insert(object, index);  // room was reserved: can't fail
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

const ObjectEntry* ObjectLinkTable::FindObject(ChunkKey object) const {
    const std::uint32_t* newest = newest_.Find(object);
    return newest ? &entries_[*newest] : nullptr;
}

void ObjectLinkTable::RemoveObject(ChunkKey object) {
    std::uint32_t* newest = newest_.Find(object);
    if (!newest) return;
    const std::uint32_t index = *newest;
    ObjectEntry& entry = entries_[index];
    if (entry.older == kNone) {
        newest_.Erase(object);
    } else {
        *newest = entry.older;
    }
    entry.materials.reset();
    entry.count = 0;
    entry.older = freeHead_;
    freeHead_ = index;
    ++freeCount_;
}

void ObjectLinkTable::Clear() {
    newest_.Clear();
    std::deque<ObjectEntry>().swap(entries_);
    freeHead_ = kNone;
    freeCount_ = 0;
}

}  // namespace sorrelwick::specular
