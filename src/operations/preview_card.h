#pragma once
// A texture's card on a preview page, made from its TGA image: its facts
// from the header, its flags, and its pictures as PNG.

#include <string>

#include "format/byte_fields.h"
#include "format/tga_image.h"
#include "operations/preview_page.h"

namespace sorrelwick::operations {

// Why a texture's image has no picture, as its card says it ("image header
// not readable", "too large to show"...); empty when `decoded` has one.
std::string MissingPictureReason(const format::DecodeResult& decoded, format::Bytes tga);

// Throws std::bad_alloc when memory runs out.
PreviewCard MakePreviewCard(const std::string& name, format::Bytes tga);

}  // namespace sorrelwick::operations
