#include "format/tga_header.h"

namespace sorrelwick::format {

std::optional<TgaHeader> ReadTgaHeader(Bytes tga) {
    if (tga.size() < kTgaHeaderSize) return std::nullopt;
    TgaHeader header;
    header.idLength = tga[0];
    header.colourMapType = tga[1];
    header.imageType = tga[2];
    header.mapFirstIndex = *U16At(tga, 3);
    header.mapLength = *U16At(tga, 5);
    header.mapEntryBits = tga[7];
    header.width = *U16At(tga, 12);
    header.height = *U16At(tga, 14);
    header.depth = tga[16];
    header.descriptor = tga[17];
    return header;
}

}  // namespace sorrelwick::format
