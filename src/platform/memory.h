#pragma once
// Checked allocation: every allocation that an operation can report as
// "not enough memory" goes through here, so the fault seam can refuse it.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace sorrelwick::platform {

// A buffer of exactly `size` bytes, or null when the memory can't be had.
std::unique_ptr<std::uint8_t[]> AllocateBytes(std::size_t size);

// For entries of keyed tables: false when the seam refuses this allocation.
// The caller then treats the allocation as failed.
bool MayAllocate();

}  // namespace sorrelwick::platform
