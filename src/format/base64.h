#pragma once
// Base64 text of binary data (the standard alphabet, '=' padding), as the
// data: URIs of the preview page carry pictures.

#include <string>

#include "format/byte_fields.h"

namespace sorrelwick::format {

std::string Base64(Bytes data);

}  // namespace sorrelwick::format
