#pragma once
// Bounds-checked little-endian field reads from a payload. Nothing outside
// the given bytes is ever read: a field that does not fit gives nullopt.
// Defined here so that each read compiles to a bounds check and one load.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace sorrelwick::format {

using Bytes = std::span<const std::uint8_t>;

// True when `width` bytes from `offset` lie within `bytes` (no overflow).
inline bool Fits(Bytes bytes, std::size_t offset, std::size_t width) {
    return offset <= bytes.size() && width <= bytes.size() - offset;
}

// Unchecked little-endian loads and stores, for callers that have checked
// the room. Written byte by byte, which the compiler turns into one access.
inline std::uint16_t LoadU16(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}
inline std::uint32_t LoadU32(const std::uint8_t* at) {
    return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 |
           std::uint32_t{at[3]} << 24;
}
inline void StoreU32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::optional<std::uint16_t> U16At(Bytes bytes, std::size_t offset) {
    if (!Fits(bytes, offset, 2)) return std::nullopt;
    return LoadU16(bytes.data() + offset);
}

inline std::optional<std::uint32_t> U32At(Bytes bytes, std::size_t offset) {
    if (!Fits(bytes, offset, 4)) return std::nullopt;
    return LoadU32(bytes.data() + offset);
}

inline void PutU32At(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
    StoreU32(bytes.subspan(offset, 4).data(), value);
}

// Longest name the tool keeps: a 260-character buffer with its terminator.
inline constexpr std::size_t kMaxNameLength = 259;

// The text from `offset` to the first NUL or the end of `bytes`, whichever
// comes first, cut to `maxLength`; empty when `offset` is at or past the end.
// The view points into `bytes`.
inline std::string_view TextAt(Bytes bytes, std::size_t offset,
                               std::size_t maxLength = kMaxNameLength) {
    if (offset >= bytes.size()) return {};
    const Bytes text = bytes.subspan(offset, std::min(bytes.size() - offset, maxLength));
    const auto end = std::find(text.begin(), text.end(), std::uint8_t{0});
    return {reinterpret_cast<const char*>(text.data()),
            static_cast<std::size_t>(end - text.begin())};
}

}  // namespace sorrelwick::format
