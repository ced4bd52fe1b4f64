#include "operations/texture_png.h"

#include <new>

#include "format/png_encoding.h"
#include "format/tga_header.h"
#include "format/tga_image.h"
#include "operations/texture_index.h"
#include "platform/file.h"
#include "platform/file_system.h"

namespace sorrelwick::operations {
namespace {

// The samples of `image` with `channels` bytes a pixel: 1 the red value (R =
// G = B for grey), 3 RGB, 4 RGBA.
std::vector<std::uint8_t> Samples(const format::DecodedImage& image, int channels) {
    if (channels == 4) return image.rgba;
    std::vector<std::uint8_t> samples;
    samples.reserve(image.rgba.size() / 4 * static_cast<std::size_t>(channels));
    for (std::size_t at = 0; at < image.rgba.size(); at += 4) {
        samples.insert(samples.end(), image.rgba.begin() + static_cast<std::ptrdiff_t>(at),
                       image.rgba.begin() + static_cast<std::ptrdiff_t>(at) + channels);
    }
    return samples;
}

constexpr int kTemporaryNumbers = 1000;

// A file created beside `path` under "<name>.~NNN", never over one there.
platform::File CreateTemporaryBeside(const std::string& path, std::string& temporary) {
    for (int number = 0; number < kTemporaryNumbers; ++number) {
        temporary = path + ".~" + std::to_string(1000 + number).substr(1);
        platform::File::CreateOutcome created = platform::File::CreateOutcome::Failed;
        platform::File file = platform::File::CreateNew(temporary, created);
        if (created != platform::File::CreateOutcome::AlreadyExists) return file;
    }
    return {};
}

}  // namespace

std::vector<std::uint8_t> TextureAsPng(format::Bytes storedImage) {
    const std::optional<format::TgaHeader> header = format::ReadTgaHeader(storedImage);
    const format::DecodeResult decoded = format::DecodeTga(storedImage);
    if (!header || decoded.outcome != format::DecodeOutcome::Decoded) return {};
    const bool grey = (header->imageType == 3 || header->imageType == 11) && header->depth == 8;
    const int channels = grey ? 1 : decoded.image.alpha ? 4 : 3;
    return format::EncodePng(decoded.image.width, decoded.image.height, channels,
                             Samples(decoded.image, channels));
}

PngWrite WriteTextureAsPng(const ToolState& state, std::size_t texture, const std::string& path) {
    platform::FileFacts facts;
    if (platform::ReadFileFacts(path, facts) == platform::FactsOutcome::Found) {
        return {PngWriteOutcome::AlreadyExists, {}};
    }
    std::vector<std::uint8_t> png;
    try {
        const std::optional<std::vector<IndexedTexture>> textures = IndexTextures(state.setPath);
        if (!textures || texture >= textures->size()) return {PngWriteOutcome::Unreadable, {}};
        png = TextureAsPng(ReadTextureImage(state.setPath, (*textures)[texture]));
    } catch (const std::bad_alloc&) {
        return {PngWriteOutcome::Unreadable, {}};
    }
    if (png.empty()) return {PngWriteOutcome::Unreadable, {}};
    std::string temporary;
    platform::File file = CreateTemporaryBeside(path, temporary);
    if (!file.IsOpen()) return {PngWriteOutcome::Failed, file.LastError()};
    if (!file.Write(png.data(), png.size()) || !file.Close()) {
        const platform::SystemError cause = file.LastError();
        if (file.IsOpen()) file.Close();
        platform::RemoveFile(temporary);
        return {PngWriteOutcome::Failed, cause};
    }
    const platform::MoveOutcome moved = platform::MoveWithoutReplacing(temporary, path);
    if (moved == platform::MoveOutcome::Moved) return {PngWriteOutcome::Written, {}};
    const platform::SystemError cause = platform::LatestFailure();
    platform::RemoveFile(temporary);
    return {moved == platform::MoveOutcome::TargetExists ? PngWriteOutcome::AlreadyExists
                                                         : PngWriteOutcome::Failed,
            cause};
}

}  // namespace sorrelwick::operations
