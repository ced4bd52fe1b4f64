#pragma once
// How the percentages change a material's two specular bytes.

#include <cstdint>

#include "set_file/tool_state.h"
#include "specular/specular_class.h"

namespace sorrelwick::specular {

struct SpecularBytes {
    std::uint8_t amplitude = 0;
    std::uint8_t shininess = 0;
    friend bool operator==(const SpecularBytes&, const SpecularBytes&) = default;
};

// With A and S the amplitude and shininess percents of `cls`: amplitude
// becomes amplitude * A / 100, shininess becomes shininess * 100 / S (255
// when S is 0), each truncated and limited to 255. Any percent gives the
// exact quotient. Class None leaves both bytes as they are.
SpecularBytes ScaleSpecularBytes(std::uint8_t amplitude, std::uint8_t shininess, SpecularClass cls,
                                 const SpecularPercents& percents);

}  // namespace sorrelwick::specular
