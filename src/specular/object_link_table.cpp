#include "specular/object_link_table.h"

#include <new>

#include "platform/memory.h"

namespace sorrelwick::specular {
namespace {

std::vector<ChunkKey> DecodeKeys(format::Bytes keyList) {
    std::vector<ChunkKey> keys;
    keys.reserve(keyList.size() / kChunkKeySize);
    for (std::size_t at = 0; at + kChunkKeySize <= keyList.size(); at += kChunkKeySize) {
        keys.push_back(*KeyAt(keyList, at));
    }
    return keys;
}

}  // namespace

bool ObjectLinkTable::AddObject(ChunkKey object, format::Bytes keyList) {
    if (keyList.size() < kChunkKeySize) return true;
    // The entry and its key list are obtained together: one allocation for
    // the fault seam to refuse.
    if (!platform::MayAllocate()) return false;
    auto slot = entries_.end();
    try {
        ObjectEntry entry{object, DecodeKeys(keyList)};
        slot = entries_.try_emplace(object).first;
        slot->second.push_back(std::move(entry));
    } catch (const std::bad_alloc&) {
        if (slot != entries_.end() && slot->second.empty()) entries_.erase(slot);
        return false;
    }
    ++size_;
    return true;
}

const ObjectEntry* ObjectLinkTable::FindObject(ChunkKey object) const {
    const auto slot = entries_.find(object);
    return slot == entries_.end() ? nullptr : &slot->second.back();
}

void ObjectLinkTable::RemoveObject(ChunkKey object) {
    const auto slot = entries_.find(object);
    if (slot == entries_.end()) return;
    slot->second.pop_back();
    if (slot->second.empty()) entries_.erase(slot);
    --size_;
}

void ObjectLinkTable::Clear() {
    entries_.clear();
    size_ = 0;
}

}  // namespace sorrelwick::specular
