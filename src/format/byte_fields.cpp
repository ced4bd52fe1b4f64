#include "format/byte_fields.h"

#include <algorithm>

namespace sorrelwick::format {

std::optional<std::uint16_t> U16At(Bytes bytes, std::size_t offset) {
    if (!Fits(bytes, offset, 2)) return std::nullopt;
    return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

std::optional<std::uint32_t> U32At(Bytes bytes, std::size_t offset) {
    if (!Fits(bytes, offset, 4)) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) value = value << 8 | bytes[offset + i];
    return value;
}

void PutU32At(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::string TextAt(Bytes bytes, std::size_t offset, std::size_t maxLength) {
    if (offset >= bytes.size()) return {};
    const Bytes tail = bytes.subspan(offset);
    const auto end = std::find(tail.begin(), tail.end(), std::uint8_t{0});
    const std::size_t length = std::min(static_cast<std::size_t>(end - tail.begin()), maxLength);
    return std::string(reinterpret_cast<const char*>(tail.data()), length);
}

}  // namespace sorrelwick::format
