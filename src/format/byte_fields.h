#pragma once
// Bounds-checked little-endian field reads from a payload. Nothing outside
// the given bytes is ever read: a field that does not fit gives nullopt.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace sorrelwick::format {

using Bytes = std::span<const std::uint8_t>;

// True when `width` bytes from `offset` lie within `bytes` (no overflow).
inline bool Fits(Bytes bytes, std::size_t offset, std::size_t width) {
    return offset <= bytes.size() && width <= bytes.size() - offset;
}

std::optional<std::uint16_t> U16At(Bytes bytes, std::size_t offset);
std::optional<std::uint32_t> U32At(Bytes bytes, std::size_t offset);
void PutU32At(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value);

// Longest name the tool keeps: a 260-character buffer with its terminator.
inline constexpr std::size_t kMaxNameLength = 259;

// The text from `offset` to the first NUL or the end of `bytes`, whichever
// comes first, cut to `maxLength`; empty when `offset` is at or past the end.
std::string TextAt(Bytes bytes, std::size_t offset, std::size_t maxLength = kMaxNameLength);

}  // namespace sorrelwick::format
