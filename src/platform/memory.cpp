#include "platform/memory.h"

#include <new>

#include "platform/fault_seam.h"

namespace sorrelwick::platform {

std::unique_ptr<std::uint8_t[]> AllocateBytes(std::size_t size) {
    if (ShouldFail(Operation::Allocate)) return nullptr;
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[size]);
}

bool MayAllocate() {
    return !ShouldFail(Operation::Allocate);
}

}  // namespace sorrelwick::platform
