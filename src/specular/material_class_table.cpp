#include "specular/material_class_table.h"

#include <new>

#include "platform/memory.h"

namespace sorrelwick::specular {

bool MaterialClassTable::SetClass(ChunkKey material, SpecularClass cls) {
    if (SpecularClass* known = classes_.Find(material)) {
        *known = cls;
        return true;
    }
    if (!platform::MayAllocate()) return false;
    try {
        classes_.Insert(material, cls);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

SpecularClass MaterialClassTable::ClassOf(ChunkKey material) const {
    const SpecularClass* known = classes_.Find(material);
    return known ? *known : SpecularClass::None;
}

}  // namespace sorrelwick::specular
