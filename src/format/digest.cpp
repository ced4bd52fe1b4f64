#include "format/digest.h"

#include <cstring>

namespace sorrelwick::format {
namespace {

// Odd 64-bit constants with well-mixed bits.
constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ull;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ull;
constexpr std::size_t kStripe = 32;  // four lanes of eight bytes

std::uint64_t Rotate(std::uint64_t value, int bits) {
    return value << bits | value >> (64 - bits);
}

// The digest is never stored or sent, so the host's byte order is fine.
std::uint64_t Load64(const std::uint8_t* at) {
    std::uint64_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

std::uint64_t Round(std::uint64_t lane, std::uint64_t input) {
    return Rotate(lane + input * kPrime2, 31) * kPrime1;
}

std::uint64_t Fold(std::uint64_t digest, std::uint64_t lane) {
    return (digest ^ Round(0, lane)) * kPrime1 + kPrime4;
}

// Four independent lanes keep the multipliers busy on long payloads.
std::uint64_t Stripes(const std::uint8_t*& at, const std::uint8_t* end, std::uint64_t seed) {
    std::uint64_t lanes[4] = {seed + kPrime1 + kPrime2, seed + kPrime2, seed, seed - kPrime1};
    while (end - at >= static_cast<std::ptrdiff_t>(kStripe)) {
        for (int i = 0; i < 4; ++i) lanes[i] = Round(lanes[i], Load64(at + 8 * i));
        at += kStripe;
    }
    std::uint64_t digest =
        Rotate(lanes[0], 1) + Rotate(lanes[1], 7) + Rotate(lanes[2], 12) + Rotate(lanes[3], 18);
    for (std::uint64_t lane : lanes) digest = Fold(digest, lane);
    return digest;
}

}  // namespace

std::uint64_t DigestOf(Bytes bytes, std::uint64_t seed) {
    const std::uint8_t* at = bytes.data();
    const std::uint8_t* const end = at + bytes.size();
    std::uint64_t digest = bytes.size() >= kStripe ? Stripes(at, end, seed) : seed + kPrime3;
    digest += bytes.size();
    for (; end - at >= 8; at += 8) digest = Rotate(digest ^ Round(0, Load64(at)), 27) * kPrime1 + kPrime4;
    for (; at < end; ++at) digest = Rotate(digest ^ (*at * kPrime3), 11) * kPrime1;
    digest ^= digest >> 33;
    digest *= kPrime2;
    digest ^= digest >> 29;
    digest *= kPrime3;
    return digest ^ digest >> 32;
}

}  // namespace sorrelwick::format
