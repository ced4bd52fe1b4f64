#pragma once
// SHA-256, for what must be told apart even from bytes made to collide: the
// payloads a mod names and carries.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "format/byte_fields.h"

namespace sorrelwick::format {

using Sha256Digest = std::array<std::uint8_t, 32>;

// The digest of bytes that come piece by piece, such as a whole file.
class Sha256 {
public:
    Sha256();
    void Update(Bytes bytes);
    Sha256Digest Finish();

private:
    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t length_ = 0;
};

Sha256Digest Sha256Of(Bytes bytes);

// 64 lower-case hexadecimal digits.
std::string HexOf(const Sha256Digest& digest);

}  // namespace sorrelwick::format
