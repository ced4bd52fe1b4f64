#pragma once
// Texture names come from untrusted chess-set files and become file names in
// a folder the user chose. Only a plain file name may be used as a path.

#include <array>
#include <string>
#include <string_view>

namespace sorrelwick::operations {

// False for a name holding '\', '/' or ':', a byte below 0x20 or 0x7F, or
// one of '<', '>', '"', '|', '?', '*'; for "." and "..", for the empty
// name, and for the Windows device names (CON, PRN, AUX, NUL, COM1-COM9,
// LPT1-LPT9), alone or followed by spaces or '.' and anything, in any letter
// case; and for a name that ends in '.' or ' ', which Windows drops. The rule
// is the same on every platform, so reports agree everywhere. On Windows it
// sees the name as text (platform::NameAsText), elsewhere as bytes.
bool IsPlainFileName(std::string_view name);

// The extensions of the pictures image editors save, in the order in which
// a texture whose .tga file is missing takes them: the formats that keep
// every pixel first.
inline constexpr std::array<std::string_view, 6> kPictureExtensions = {
    ".png", ".psd", ".bmp", ".gif", ".jpg", ".jpeg"};

// `name` with the text from its last '.' (or, without a '.', nothing)
// replaced by `extension`: where a texture's picture of that kind stands.
std::string PictureNameFor(std::string_view name, std::string_view extension);

// Whether `fileName` ends in one of kPictureExtensions, in any letter case.
bool IsPictureName(std::string_view fileName);

// Two names are the same, ignoring the case of ASCII letters.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// The stems of two file names are the same, ignoring the case of ASCII
// letters: "Wood.PNG" and "wood.tga".
bool SameStem(std::string_view a, std::string_view b);

}  // namespace sorrelwick::operations
