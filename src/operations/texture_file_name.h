#pragma once
// Texture names come from untrusted chess-set files and become file names in
// a folder the user chose. Only a plain file name may be used as a path.

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

// `name` with the text after its last '.' (or, without a '.', the whole
// name followed by a '.') replaced by "png": where a texture's PNG stands.
std::string PngNameFor(std::string_view name);

}  // namespace sorrelwick::operations
