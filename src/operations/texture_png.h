#pragma once
// A texture as a PNG file, for the user's image editor: alpha as a channel
// of its own (never premultiplied, so the colour under a transparent pixel
// stays), an 8-bit grey texture as grey, every other one as RGB.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "format/byte_fields.h"
#include "platform/system_error.h"
#include "set_file/tool_state.h"

namespace sorrelwick::operations {

// The PNG of a texture image as stored in a set (a TGA); empty when the
// image can't be decoded. Throws std::bad_alloc when memory runs out.
std::vector<std::uint8_t> TextureAsPng(format::Bytes storedImage);

enum class PngWriteOutcome { Written, AlreadyExists, Unreadable, Failed };

struct PngWrite {
    PngWriteOutcome outcome = PngWriteOutcome::Failed;
    platform::SystemError cause{};  // Failed: the system's reason
};

// Writes the set's texture number `texture` (from 0, in file order) as a
// PNG file at `path`, which must not exist yet: an existing file (the user's
// earlier edit, say) is never replaced. The file is written under a
// temporary name beside it and given its name only when whole, so an
// editor never opens half a picture. Unreadable when the set or the
// texture can't be read or decoded.
PngWrite WriteTextureAsPng(const ToolState& state, std::size_t texture, const std::string& path);

}  // namespace sorrelwick::operations
