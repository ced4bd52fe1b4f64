#include "specular/object_link_table.h"

#include <algorithm>
#include <new>

#include "platform/memory.h"

namespace sorrelwick::specular {

bool ObjectLinkTable::AddObject(ChunkKey object, format::Bytes keyList) {
    const std::size_t count = keyList.size() / kChunkKeySize;
    if (count == 0) return true;
    // The entry and its key list are obtained together: one allocation for
    // the fault seam to refuse.
    if (!platform::MayAllocate()) return false;
    // The entry held apart makes room for this one; it keeps its place as
    // the newest of its key's entries.
    if (holding_) {
        if (!Store(held_.object, heldKeyList_)) return false;
        holding_ = false;
    }
    if (count == 1) {
        std::copy_n(keyList.begin(), kChunkKeySize, heldKeyList_.begin());
        held_.object = object;
        held_.onlyMaterial = *KeyAt(keyList, 0);
        held_.count = 1;
        holding_ = true;
        return true;
    }
    return Store(object, keyList);
}

bool ObjectLinkTable::Store(ChunkKey object, format::Bytes keyList) {
    const std::size_t count = keyList.size() / kChunkKeySize;
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
    if (holding_ && held_.object == object) return &held_;
    const std::uint32_t* newest = newest_.Find(object);
    return newest ? &entries_[*newest] : nullptr;
}

void ObjectLinkTable::RemoveObject(ChunkKey object) {
    if (holding_ && held_.object == object) {
        holding_ = false;
        return;
    }
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
    holding_ = false;
    newest_.Clear();
    std::deque<ObjectEntry>().swap(entries_);
    freeHead_ = kNone;
    freeCount_ = 0;
}

}  // namespace sorrelwick::specular
