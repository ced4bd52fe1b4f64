#pragma once
// A texture's card on a preview page, made from its TGA image: its facts
// from the header, its flags, and its pictures as PNG.

#include <string>

#include "format/byte_fields.h"
#include "operations/preview_page.h"

namespace sorrelwick::operations {

// Throws std::bad_alloc when memory runs out.
PreviewCard MakePreviewCard(const std::string& name, format::Bytes tga);

}  // namespace sorrelwick::operations
