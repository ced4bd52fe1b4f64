#pragma once
// A 64-bit digest of bytes: enough to tell whether two payloads differ
// without keeping either. Not cryptographic: bytes made to collide would
// pass as equal, so whatever must be exact compares the bytes themselves.

#include <cstdint>

#include "format/byte_fields.h"

namespace sorrelwick::format {

// The digest of `bytes`; a chain of pieces digests each piece with the
// digest so far as its seed. Quick enough to run over every payload of a
// set (several gigabytes a second).
std::uint64_t DigestOf(Bytes bytes, std::uint64_t seed = 0);

}  // namespace sorrelwick::format
