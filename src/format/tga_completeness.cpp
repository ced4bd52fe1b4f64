#include "format/tga_image.h"
#include "format/tga_pixel_walk.h"

namespace sorrelwick::format {

ImageCompleteness CheckImageCompleteness(Bytes tga) {
    // The image type stands at byte 2: an image of a checked type that ends
    // within its header is cut short as well.
    if (tga.size() < 3 || !IsWalkable(tga[2])) return ImageCompleteness::NotChecked;
    const std::optional<TgaHeader> header = ReadTgaHeader(tga);
    if (!header) return ImageCompleteness::CutShort;
    const bool covered = WalkPixelData(tga, LocateSections(*header), [](const PixelRun&) {});
    return covered ? ImageCompleteness::Complete : ImageCompleteness::CutShort;
}

}  // namespace sorrelwick::format
