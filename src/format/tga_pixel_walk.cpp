#include "format/tga_pixel_walk.h"

namespace sorrelwick::format {

bool IsColourMapped(std::uint8_t imageType) {
    return imageType == 1 || imageType == 9;
}

bool IsRunLength(std::uint8_t imageType) {
    return imageType >= 9 && imageType <= 11;
}

bool IsWalkable(std::uint8_t imageType) {
    return (imageType >= 1 && imageType <= 3) || IsRunLength(imageType);
}

TgaSections LocateSections(const TgaHeader& header) {
    TgaSections sections;
    sections.mapOffset = kTgaHeaderSize + header.idLength;
    if (header.colourMapType == 1) {
        sections.mapBytes = std::size_t{header.mapLength} * BytesForBits(header.mapEntryBits);
    }
    sections.dataOffset = sections.mapOffset + sections.mapBytes;
    sections.pixelBytes = BytesForBits(header.depth);
    sections.pixelCount = std::uint64_t{header.width} * header.height;
    sections.runLength = IsRunLength(header.imageType);
    return sections;
}

}  // namespace sorrelwick::format
