#include "specular/material_class_table.h"

#include <new>

#include "platform/memory.h"

namespace sorrelwick::specular {

bool MaterialClassTable::SetClass(ChunkKey material, SpecularClass cls) {
    if (const auto known = classes_.find(material); known != classes_.end()) {
        known->second = cls;
        return true;
    }
    if (!platform::MayAllocate()) return false;
    try {
        classes_.emplace(material, cls);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

SpecularClass MaterialClassTable::ClassOf(ChunkKey material) const {
    const auto known = classes_.find(material);
    return known == classes_.end() ? SpecularClass::None : known->second;
}

}  // namespace sorrelwick::specular
