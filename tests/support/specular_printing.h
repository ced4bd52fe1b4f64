#pragma once
// Readable failure messages for the specularity types.

#include <ostream>

#include "specular/object_names.h"
#include "specular/specular_class.h"

namespace sorrelwick::specular {

inline void PrintTo(SpecularClass cls, std::ostream* out) {
    static const char* const kNames[] = {"None", "Board", "BlackPieces", "WhitePieces"};
    const auto value = static_cast<std::uint32_t>(cls);
    *out << (value < 4 ? kNames[value] : "invalid");
}

inline void PrintTo(NamingStyle style, std::ostream* out) {
    *out << "style " << static_cast<char>('A' + static_cast<int>(style));
}

}  // namespace sorrelwick::specular
