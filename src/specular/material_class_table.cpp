#include "specular/material_class_table.h"

#include <new>

#include "platform/memory.h"

namespace sorrelwick::specular {
namespace {

// How many entries ahead a slot starts loading: enough loads in flight to
// hide memory latency.
constexpr std::size_t kLookAhead = 16;

}  // namespace

bool MaterialClassTable::SetClass(ChunkKey material, SpecularClass cls) {
    return records_.Append({material, cls});
}

void MaterialClassTable::NoteMaterialChunk(ChunkKey material) {
    if (notingFailed_) return;
    if (!noted_.Append(material)) {
        notingFailed_ = true;
        noted_.Clear();
    }
}

bool MaterialClassTable::Resolve() {
    const bool built = BuildTable();
    records_.Clear();
    if (!built) {
        Clear();
        return false;
    }
    ResolveNoted();
    return true;
}

// One allocation, for as many keys as there are records: every key fits,
// so the table never grows while it is filled.
bool MaterialClassTable::BuildTable() {
    const std::size_t count = records_.Size();
    if (count == 0) return true;
    if (!platform::MayAllocate()) return false;
    try {
        classes_.Reserve(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (i + kLookAhead < count) classes_.Prefetch(records_[i + kLookAhead].material);
        const Record& record = records_[i];
        classes_.Assign(record.material, static_cast<std::uint8_t>(record.cls));
    }
    return true;
}

// Without memory for the results, ClassOfNext falls back on ClassOf.
void MaterialClassTable::ResolveNoted() {
    const std::size_t count = noted_.Size();
    next_ = 0;
    if (count == 0) return;
    resolved_ = platform::AllocateBytes(count);
    if (!resolved_) {
        noted_.Clear();
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (i + kLookAhead < count) classes_.Prefetch(noted_[i + kLookAhead]);
        resolved_[i] = static_cast<std::uint8_t>(ClassOf(noted_[i]));
    }
}

SpecularClass MaterialClassTable::ClassOf(ChunkKey material) const {
    const std::uint8_t* known = classes_.Find(material);
    return known ? static_cast<SpecularClass>(*known) : SpecularClass::None;
}

SpecularClass MaterialClassTable::ClassOfNext(ChunkKey material) {
    if (resolved_ && next_ < noted_.Size() && noted_[next_] == material) {
        return static_cast<SpecularClass>(resolved_[next_++]);
    }
    return ClassOf(material);
}

void MaterialClassTable::Clear() {
    records_.Clear();
    noted_.Clear();
    classes_.Clear();
    resolved_.reset();
    next_ = 0;
    notingFailed_ = false;
}

}  // namespace sorrelwick::specular
