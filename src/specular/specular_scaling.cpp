#include "specular/specular_scaling.h"

#include <algorithm>

namespace sorrelwick::specular {
namespace {

constexpr std::uint64_t kByteLimit = 255;

struct ClassPercents {
    std::uint32_t amplitude = 100;
    std::uint32_t shininess = 100;
};

ClassPercents PercentsOf(SpecularClass cls, const SpecularPercents& p) {
    switch (cls) {
        case SpecularClass::WhitePieces:
            return {p.whiteAmplitude, p.whiteShininess};
        case SpecularClass::BlackPieces:
            return {p.blackAmplitude, p.blackShininess};
        case SpecularClass::Board:
            return {p.boardAmplitude, p.boardShininess};
        case SpecularClass::None:
            break;
    }
    return {};
}

std::uint8_t Limited(std::uint64_t value) {
    return static_cast<std::uint8_t>(std::min(value, kByteLimit));
}

}  // namespace

SpecularBytes ScaleSpecularBytes(std::uint8_t amplitude, std::uint8_t shininess, SpecularClass cls,
                                 const SpecularPercents& percents) {
    const ClassPercents p = PercentsOf(cls, percents);
    // 255 * 4294967295 needs 40 bits: the products are formed in 64.
    const std::uint64_t newAmplitude = std::uint64_t{amplitude} * p.amplitude / 100;
    const std::uint64_t newShininess =
        p.shininess == 0 ? kByteLimit : std::uint64_t{shininess} * 100 / p.shininess;
    return {Limited(newAmplitude), Limited(newShininess)};
}

}  // namespace sorrelwick::specular
