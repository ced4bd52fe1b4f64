#include "specular/material_class_table.h"

#include <new>

#include "platform/memory.h"

namespace sorrelwick::specular {
namespace {

// How many keys ahead ResolveFileOrder starts loading a slot: enough loads
// in flight to hide memory latency.
constexpr std::size_t kLookAhead = 16;

}  // namespace

bool MaterialClassTable::SetClass(ChunkKey material, SpecularClass cls) {
    const auto value = static_cast<std::uint8_t>(cls);
    if (std::uint8_t* known = classes_.Find(material)) {
        *known = value;
        return true;
    }
    if (!platform::MayAllocate()) return false;
    try {
        classes_.Insert(material, value);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

SpecularClass MaterialClassTable::ClassOf(ChunkKey material) const {
    const std::uint8_t* known = classes_.Find(material);
    return known ? static_cast<SpecularClass>(*known) : SpecularClass::None;
}

void MaterialClassTable::NoteMaterialChunk(ChunkKey material) {
    if (notingFailed_) return;
    try {
        noted_.push_back(material);
    } catch (const std::bad_alloc&) {
        notingFailed_ = true;
        std::vector<ChunkKey>().swap(noted_);
    }
}

void MaterialClassTable::ResolveFileOrder() {
    try {
        resolved_.resize(noted_.size());
    } catch (const std::bad_alloc&) {
        std::vector<ChunkKey>().swap(noted_);  // ClassOfNext falls back on ClassOf
        return;
    }
    const std::size_t count = noted_.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (i + kLookAhead < count) classes_.Prefetch(noted_[i + kLookAhead]);
        resolved_[i] = static_cast<std::uint8_t>(ClassOf(noted_[i]));
    }
    next_ = 0;
}

SpecularClass MaterialClassTable::ClassOfNext(ChunkKey material) {
    if (next_ < resolved_.size() && noted_[next_] == material) {
        return static_cast<SpecularClass>(resolved_[next_++]);
    }
    return ClassOf(material);
}

void MaterialClassTable::Clear() {
    classes_.Clear();
    std::vector<ChunkKey>().swap(noted_);
    std::vector<std::uint8_t>().swap(resolved_);
    next_ = 0;
    notingFailed_ = false;
}

}  // namespace sorrelwick::specular
