#include "operations/texture_file_name.h"

#include <array>
#include <cctype>

namespace sorrelwick::operations {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (std::toupper(x) != std::toupper(y)) return false;
    }
    return true;
}

// A write to such a name reaches a device, not a file, even with an
// extension ("NUL.tga" is the NUL device).
bool IsDeviceName(std::string_view name) {
    const std::string_view stem = name.substr(0, name.find('.'));
    static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    for (std::string_view device : kPlain) {
        if (EqualsIgnoringCase(stem, device)) return true;
    }
    if (stem.size() != 4 || stem[3] < '1' || stem[3] > '9') return false;
    return EqualsIgnoringCase(stem.substr(0, 3), "COM") ||
           EqualsIgnoringCase(stem.substr(0, 3), "LPT");
}

}  // namespace

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    if (name.find_first_of("\\/:") != std::string_view::npos) return false;
    return !IsDeviceName(name);
}

}  // namespace sorrelwick::operations
