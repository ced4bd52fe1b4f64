#include "format/chunk.h"

#include "format/byte_fields.h"

namespace sorrelwick::format {

HeaderBytes EncodeHeader(const ChunkHeader& header) {
    HeaderBytes bytes{};
    PutU32At(bytes, 0, header.kind);
    PutU32At(bytes, 4, header.variant);
    PutU32At(bytes, 8, header.length);
    return bytes;
}

ChunkHeader DecodeHeader(const HeaderBytes& bytes) {
    return ChunkHeader{*U32At(bytes, 0), *U32At(bytes, 4), *U32At(bytes, 8)};
}

}  // namespace sorrelwick::format
