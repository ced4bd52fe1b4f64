#include "operations/texture_picture.h"

#include <algorithm>

#include "format/tga_image.h"
#include "operations/preview_card.h"

namespace sorrelwick::operations {
namespace {

constexpr std::uint8_t kCheckerLight = 0xFF;
constexpr std::uint8_t kCheckerDark = 0xCC;

std::uint8_t CheckerAt(std::uint32_t x, std::uint32_t y, std::uint32_t square) {
    return ((x / square + y / square) % 2 == 0) ? kCheckerLight : kCheckerDark;
}

// One decoded RGBA pixel as drawn: over the checkerboard grey `under`.
void PutPixel(const std::uint8_t* rgba, ChannelView view, std::uint8_t under, std::uint8_t* bgra) {
    if (view == ChannelView::Alpha) {
        bgra[0] = bgra[1] = bgra[2] = rgba[3];
    } else {
        const unsigned alpha = view == ChannelView::Colour ? 255u : rgba[3];
        for (int c = 0; c < 3; ++c) {
            const unsigned over = rgba[2 - c] * alpha + under * (255u - alpha);
            bgra[c] = static_cast<std::uint8_t>((over + 127u) / 255u);
        }
    }
    bgra[3] = 255;
}

// The picture's sides and alpha, or the reason it can't be shown; no pixels.
// MissingPictureReason gives a reason for every decoded image without
// pixels, so a picture without a reason has both sides.
TexturePicture PictureFrame(const format::DecodeResult& decoded, format::Bytes tga) {
    TexturePicture picture;
    picture.reason = MissingPictureReason(decoded, tga);
    if (!picture.reason.empty()) return picture;
    picture.width = decoded.image.width;
    picture.height = decoded.image.height;
    picture.alpha = decoded.image.alpha;
    return picture;
}

}  // namespace

TexturePicture MakeTexturePicture(format::Bytes tga, ChannelView view, std::uint64_t maxBytes) {
    const format::DecodeResult decoded = format::DecodeTga(tga, maxBytes);
    TexturePicture picture = PictureFrame(decoded, tga);
    if (!picture.reason.empty()) return picture;
    const format::DecodedImage& image = decoded.image;
    picture.bgra.resize(image.rgba.size());
    for (std::uint32_t y = 0; y < image.height; ++y) {
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const std::size_t at = (std::size_t{y} * image.width + x) * 4;
            PutPixel(&image.rgba[at], view, CheckerAt(x, y, kCheckerSquare), &picture.bgra[at]);
        }
    }
    return picture;
}

TexturePicture MakeUnblendedPicture(format::Bytes tga, std::uint64_t maxBytes) {
    const format::DecodeResult decoded = format::DecodeTga(tga, maxBytes);
    TexturePicture picture = PictureFrame(decoded, tga);
    if (!picture.reason.empty()) return picture;
    picture.bgra = decoded.image.rgba;
    for (std::size_t at = 0; at < picture.bgra.size(); at += 4) {
        std::swap(picture.bgra[at], picture.bgra[at + 2]);
    }
    return picture;
}

TexturePicture ScaledNearest(const TexturePicture& picture, std::uint32_t width,
                             std::uint32_t height) {
    TexturePicture scaled;
    scaled.alpha = picture.alpha;
    scaled.reason = picture.reason;
    const bool whole = picture.width != 0 && picture.height != 0 &&
                       picture.bgra.size() == std::size_t{picture.width} * picture.height * 4;
    if (!whole || width == 0 || height == 0) return scaled;
    scaled.width = width;
    scaled.height = height;
    scaled.bgra.resize(std::size_t{width} * height * 4);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint64_t fromY = std::uint64_t{y} * picture.height / height;
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint64_t fromX = std::uint64_t{x} * picture.width / width;
            const std::uint8_t* from =
                &picture.bgra[static_cast<std::size_t>(fromY * picture.width + fromX) * 4];
            std::copy(from, from + 4, &scaled.bgra[(std::size_t{y} * width + x) * 4]);
        }
    }
    return scaled;
}

TexturePicture MakeTileTexturePicture(format::Bytes tga, std::uint32_t side,
                                      std::uint32_t checkerSquare, std::uint64_t maxBytes) {
    const format::DecodeResult decoded = format::DecodeTga(tga, maxBytes);
    TexturePicture tile;
    tile.reason = MissingPictureReason(decoded, tga);
    if (!tile.reason.empty() || side == 0 || checkerSquare == 0) return tile;
    const format::DecodedImage& image = decoded.image;
    tile.alpha = image.alpha;
    tile.width = tile.height = side;
    tile.bgra.assign(std::size_t{side} * side * 4, 0);
    // The longer side fills the square; the other keeps the proportion.
    const std::uint64_t longer = std::max(image.width, image.height);
    const auto fitted = [&](std::uint32_t length) {
        return static_cast<std::uint32_t>(
            std::max<std::uint64_t>(1, (std::uint64_t{length} * side + longer / 2) / longer));
    };
    const std::uint32_t width = fitted(image.width), height = fitted(image.height);
    const std::uint32_t left = (side - width) / 2, top = (side - height) / 2;
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint64_t fromY = std::uint64_t{y} * image.height / height;
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint64_t fromX = std::uint64_t{x} * image.width / width;
            const std::size_t to = (std::size_t{top + y} * side + left + x) * 4;
            PutPixel(&image.rgba[static_cast<std::size_t>(fromY * image.width + fromX) * 4],
                     ChannelView::Both, CheckerAt(x, y, checkerSquare), &tile.bgra[to]);
        }
    }
    return tile;
}

}  // namespace sorrelwick::operations
