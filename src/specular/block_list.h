#pragma once
// A sequence of plain values that grows a whole block at a time. Appending
// never moves what is already stored: a million entries cost no copying and
// each page of memory is touched once, where a doubling array would copy
// everything several times and touch every new array's pages anew.

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include "platform/memory.h"

namespace sorrelwick::specular {

template <typename T, std::size_t BlockSize = 8192>
class BlockList {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    // False, and nothing added, when a new block can't be had.
    bool Append(const T& value) {
        if (size_ == blocks_.size() * BlockSize && !AddBlock()) return false;
        ::new (Slot(size_)) T(value);
        ++size_;
        return true;
    }

    const T& operator[](std::size_t i) const { return *std::launder(Slot(i)); }
    std::size_t Size() const { return size_; }

    void Clear() {
        std::vector<std::unique_ptr<Block>>().swap(blocks_);
        size_ = 0;
    }

private:
    // Raw storage: a block's values are made as they are appended, so a new
    // block costs no writes to memory that may never be used.
    struct Block {
        alignas(T) std::byte bytes[sizeof(T) * BlockSize];
    };

    T* Slot(std::size_t i) const {
        return reinterpret_cast<T*>(blocks_[i / BlockSize]->bytes) + i % BlockSize;
    }

    bool AddBlock() {
        if (!platform::MayAllocate()) return false;
        try {
            blocks_.reserve(blocks_.size() + 1);
            blocks_.push_back(std::unique_ptr<Block>(new Block));
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }

    std::vector<std::unique_ptr<Block>> blocks_;
    std::size_t size_ = 0;
};

}  // namespace sorrelwick::specular
