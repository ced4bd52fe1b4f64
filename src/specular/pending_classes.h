#pragma once
// Classifications waiting to be written to the MaterialClassTable. Written
// one by one as the name chunks come, each would cost a cache miss in a
// large table; gathered in a small batch, the slots for the whole batch are
// loaded together and then written in the order the names came.

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

#include "specular/chunk_keys.h"
#include "specular/specular_class.h"

namespace sorrelwick::specular {

class PendingClasses {
public:
    // The materials of one name chunk and the class its name gave.
    struct Group {
        std::span<const ChunkKey> materials;
        SpecularClass cls = SpecularClass::None;
    };

    // False, and nothing added, when the batch has no room for `materials`.
    bool Add(std::span<const ChunkKey> materials, SpecularClass cls) {
        if (groupCount_ == groups_.size() || materials.size() > keys_.size() - keyCount_) {
            return false;
        }
        std::copy(materials.begin(), materials.end(), keys_.begin() + keyCount_);
        groups_[groupCount_++] = {keyCount_, materials.size(), cls};
        keyCount_ += materials.size();
        return true;
    }

    std::span<const ChunkKey> Keys() const { return {keys_.data(), keyCount_}; }
    std::size_t GroupCount() const { return groupCount_; }
    Group GroupAt(std::size_t i) const {
        const Stored& g = groups_[i];
        return {{keys_.data() + g.first, g.count}, g.cls};
    }

    void Clear() { keyCount_ = groupCount_ = 0; }

private:
    struct Stored {
        std::size_t first = 0;
        std::size_t count = 0;
        SpecularClass cls = SpecularClass::None;
    };

    std::array<ChunkKey, 256> keys_{};
    std::array<Stored, 64> groups_{};
    std::size_t keyCount_ = 0;
    std::size_t groupCount_ = 0;
};

}  // namespace sorrelwick::specular
