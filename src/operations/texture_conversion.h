#pragma once
// Brings a texture file that an image editor saved in another form (the
// other colour depth, another image type or origin; PNG, BMP, JPEG, PSD or
// GIF), and when asked at other sides, to the form and sides of the texture
// it replaces, so that it can be imported like any .tga file.

#include <cstdint>
#include <string>
#include <vector>

#include "format/byte_fields.h"

namespace sorrelwick::operations {

enum class ConversionOutcome {
    NotNeeded,   // the file is taken as it is: a .tga of the stored form, or
                 // one the stored form can't be written for
    Converted,   // `image` holds the file in the stored form
    WrongSize,   // a side is not a power of two, and the sides are not to be fitted
    Unreadable,  // the file can't be decoded
    NoMemory,    // the pixels can't be held
};

struct Conversion {
    ConversionOutcome outcome = ConversionOutcome::NotNeeded;
    std::vector<std::uint8_t> image;  // Converted: an uncompressed TGA image
    std::string from;                 // Converted: what the file was, e.g. "PNG", "24 bits";
                                      // empty when only its sides changed
    std::uint32_t width = 0;          // WrongSize, or scaled: the file's sides
    std::uint32_t height = 0;
    bool scaled = false;              // Converted: from width x height to the stored sides
};

// `file` converted to the depth, image type and origin of `stored`, the
// texture image in the chess set, when they differ and that form is one the
// tool writes (true colour of 24 or 32 bits, grey of 8 bits). A file of
// another format always differs, and is Unreadable when the stored form is
// another. With `fit`, a picture whose sides differ from the stored ones is
// scaled to them (format/image_scaling.h), whatever its sides; without, its
// sides stay and must be powers of two.
Conversion ConvertToStoredForm(format::Bytes file, format::Bytes stored, bool fit = false);

}  // namespace sorrelwick::operations
