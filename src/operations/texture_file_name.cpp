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

// The digits Windows accepts after COM and LPT: 1-9 and the superscripts
// one, two and three, as single bytes (the ANSI code page) or as UTF-8 (a
// name read into text on Windows).
bool IsDeviceDigit(std::string_view digit) {
    if (digit.size() == 1) {
        const auto u = static_cast<unsigned char>(digit[0]);
        return (u >= '1' && u <= '9') || u == 0xB9 || u == 0xB2 || u == 0xB3;
    }
    return digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

// A write to such a name reaches a device, not a file, even with an
// extension ("NUL.tga" is the NUL device) or spaces before it ("CON .tga").
bool IsDeviceName(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    for (std::string_view device : kPlain) {
        if (EqualsIgnoringCase(stem, device)) return true;
    }
    if (stem.size() < 4 || !IsDeviceDigit(stem.substr(3))) return false;
    return EqualsIgnoringCase(stem.substr(0, 3), "COM") ||
           EqualsIgnoringCase(stem.substr(0, 3), "LPT");
}

// Control bytes would let a name forge report lines and are refused by
// Windows; so are the wildcard and redirection characters.
bool HoldsRefusedByte(std::string_view name) {
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return true;
    }
    return name.find_first_of("<>\"|?*") != std::string_view::npos;
}

}  // namespace

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    if (name.find_first_of("\\/:") != std::string_view::npos) return false;
    // Windows drops a last dot or space: "wood.tga." would be "wood.tga".
    if (name.back() == '.' || name.back() == ' ') return false;
    return !HoldsRefusedByte(name) && !IsDeviceName(name);
}

std::string PictureNameFor(std::string_view name, std::string_view extension) {
    const std::size_t dot = name.rfind('.');
    return std::string(name.substr(0, dot)) + std::string(extension);
}

bool IsPictureName(std::string_view fileName) {
    for (std::string_view extension : kPictureExtensions) {
        if (fileName.size() > extension.size() &&
            EqualsIgnoringCase(fileName.substr(fileName.size() - extension.size()), extension)) {
            return true;
        }
    }
    return false;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return EqualsIgnoringCase(a, b);
}

bool SameStem(std::string_view a, std::string_view b) {
    return EqualsIgnoringCase(a.substr(0, a.rfind('.')), b.substr(0, b.rfind('.')));
}

}  // namespace sorrelwick::operations
