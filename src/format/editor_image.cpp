#include "format/editor_image.h"

#include <algorithm>
#include <array>
#include <new>
#include <utility>

#include "format/png_image.h"
#include "format/psd_composite.h"
#include "format/stb_decoding.h"

namespace sorrelwick::format {
namespace {

bool StartsWith(Bytes file, std::string_view signature) {
    return file.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), file.begin(),
                      [](char s, std::uint8_t b) { return static_cast<std::uint8_t>(s) == b; });
}

std::uint32_t LoadU32BigEndian(const std::uint8_t* at) {
    return std::uint32_t{at[0]} << 24 | std::uint32_t{at[1]} << 16 | std::uint32_t{at[2]} << 8 |
           at[3];
}

std::uint16_t LoadU16BigEndian(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] << 8 | at[1]);
}

// The decoder fills what is missing with zeros instead of failing; each
// check below tells a file that ends before its picture does.

// A JPEG ends in its end-of-image marker after the scan data.
bool JpegIsWhole(Bytes file) {
    for (std::size_t at = file.size(); at >= 2; --at) {
        if (file[at - 2] == 0xFF && file[at - 1] == 0xD9) return true;
    }
    return false;
}

// Whether every table a JPEG's define-Huffman-table segments could hold
// codes at most 256 values. The decoder we build with (2.27) trusts the sum
// of a table's code counts, and writes past the ends of its tables for one
// above: such a file is refused before the decoder sees any of it. The
// decoder looks for markers past bytes it does not expect, so every marker
// of such a segment in the file is read as it would read it: table after
// table while the segment's length lasts, a byte past the file's end as 0.
bool JpegTablesFit(Bytes file) {
    constexpr std::uint8_t kDefineTables = 0xC4;
    const auto byteAt = [file](std::size_t i) -> std::size_t {
        return i < file.size() ? file[i] : 0u;
    };
    for (std::size_t at = 0; at + 1 < file.size(); ++at) {
        if (file[at] != 0xFF || file[at + 1] != kDefineTables) continue;
        long left = static_cast<long>(byteAt(at + 2) << 8 | byteAt(at + 3)) - 2;
        for (std::size_t table = at + 4; left > 0;) {
            std::size_t values = 0;
            for (std::size_t i = 1; i <= 16; ++i) values += byteAt(table + i);
            if (values > 256) return false;
            left -= static_cast<long>(17 + values);
            table += 17 + values;
        }
    }
    return true;
}

// A GIF ends in its trailer byte.
bool GifIsWhole(Bytes file) {
    return !file.empty() && file.back() == 0x3B;
}

// An uncompressed or bit-field BMP holds every row, each padded to four
// bytes, from the offset its file header gives.
bool BmpIsWhole(Bytes file, const ImageSides& sides) {
    constexpr std::size_t kOffsetAt = 10, kBitsAt = 28, kCompressionAt = 30;
    if (!Fits(file, kCompressionAt, 4)) return false;
    const std::uint64_t bits = LoadU16(&file[kBitsAt]);
    const std::uint32_t compression = LoadU32(&file[kCompressionAt]);
    // Run-length BMPs are refused by the decoder itself.
    if (compression != 0 && compression != 3) return true;
    const std::uint64_t rowBytes = (sides.width * bits + 31) / 32 * 4;
    return LoadU32(&file[kOffsetAt]) + rowBytes * sides.height <= file.size();
}

// A PSD's composited image stands after three sections of declared length:
// raw, each channel's samples one after the other; run-length, a table of
// each row's packed length and then those rows.
bool PsdIsWhole(Bytes file, const ImageSides& sides) {
    constexpr std::size_t kChannelsAt = 12, kDepthAt = 22, kSectionsAt = 26;
    const std::uint64_t size = file.size();
    // Whether `bytes` bytes from `at` lie within the file; `at` is then an
    // index of it, whatever the width of size_t.
    const auto within = [size](std::uint64_t at, std::uint64_t bytes) {
        return at <= size && bytes <= size - at;
    };
    if (!within(kSectionsAt, 0)) return false;
    const std::uint64_t allChannels = LoadU16BigEndian(&file[kChannelsAt]);
    const std::uint64_t channels = std::min<std::uint64_t>(allChannels, 4);
    const std::uint64_t sampleBytes = LoadU16BigEndian(&file[kDepthAt]) / 8;
    std::uint64_t at = kSectionsAt;
    for (int section = 0; section < 3; ++section) {
        if (!within(at, 4)) return false;
        at += 4 + std::uint64_t{LoadU32BigEndian(&file[static_cast<std::size_t>(at)])};
    }
    if (!within(at, 2)) return false;
    const std::uint16_t compression = LoadU16BigEndian(&file[static_cast<std::size_t>(at)]);
    at += 2;
    const std::uint64_t rows = channels * sides.height;
    if (compression == 0) return within(at, rows * sides.width * sampleBytes);
    if (compression != 1) return true;  // refused by the decoder itself
    const std::uint64_t tableBytes = allChannels * sides.height * 2;
    if (!within(at, tableBytes)) return false;
    std::uint64_t packed = 0;
    for (std::uint64_t row = 0; row < rows; ++row) {
        packed += LoadU16BigEndian(&file[static_cast<std::size_t>(at + row * 2)]);
    }
    return within(at + tableBytes, packed);
}

bool IsWhole(ImageFormat format, Bytes file, const ImageSides& sides) {
    switch (format) {
        case ImageFormat::Jpeg:
            return JpegIsWhole(file);
        case ImageFormat::Gif:
            return GifIsWhole(file);
        case ImageFormat::Bmp:
            return BmpIsWhole(file, sides);
        case ImageFormat::Psd:
            return PsdIsWhole(file, sides);
        default:
            return true;
    }
}

// The largest single buffer the decoder asks for, for an image of these
// sides: the RGBA picture (a GIF keeps two more of its size, one at a
// time allocated); for a JPEG also each component's samples and, when
// progressive, their coefficients of two bytes, over sides rounded up to
// whole blocks of at most 32 pixels.
std::uint64_t AllocationBound(ImageFormat format, const ImageSides& sides) {
    const std::uint64_t rgba = std::uint64_t{sides.width} * sides.height * 4;
    if (format != ImageFormat::Jpeg) return rgba;
    const std::uint64_t coefficients = 2 * (std::uint64_t{sides.width} + 32) * (sides.height + 32);
    return std::max(rgba, coefficients);
}

// Room for the small tables the decoder keeps besides the image data.
constexpr std::uint64_t kTableAllowance = 64 * 1024;

}  // namespace

ImageFormat DetectImageFormat(Bytes file) {
    if (HasPngSignature(file)) return ImageFormat::Png;
    if (StartsWith(file, "BM")) return ImageFormat::Bmp;
    if (StartsWith(file, "\xFF\xD8\xFF")) return ImageFormat::Jpeg;
    if (StartsWith(file, "8BPS")) return ImageFormat::Psd;
    if (StartsWith(file, "GIF87a") || StartsWith(file, "GIF89a")) return ImageFormat::Gif;
    return ImageFormat::Tga;
}

std::string_view FormatName(ImageFormat format) {
    static constexpr std::array<std::string_view, 6> kNames = {"TGA", "PNG", "BMP",
                                                               "JPEG", "PSD", "GIF"};
    return kNames[static_cast<std::size_t>(format)];
}

std::optional<ImageSides> ReadDeclaredSides(Bytes file) {
    const ImageFormat format = DetectImageFormat(file);
    if (format == ImageFormat::Tga) return std::nullopt;
    if (format == ImageFormat::Png) {
        const std::optional<PngSides> sides = ReadPngSides(file);
        if (!sides) return std::nullopt;
        return ImageSides{sides->width, sides->height};
    }
    if (format == ImageFormat::Psd) {
        const std::optional<PsdSides> sides = ReadPsdSides(file);
        if (!sides) return std::nullopt;
        return ImageSides{sides->width, sides->height};
    }
    // Reading a JPEG's header builds the tables it defines before its frame.
    if (format == ImageFormat::Jpeg && !JpegTablesFit(file)) return std::nullopt;
    const std::optional<detail::StbSides> sides = detail::StbDeclaredSides(file);
    if (!sides) return std::nullopt;
    return ImageSides{sides->width, sides->height};
}

ImageDecodeResult DecodeEditorImage(Bytes file, std::uint32_t maxSide) {
    const ImageFormat format = DetectImageFormat(file);
    if (format == ImageFormat::Png) {
        PngDecodeResult png = DecodePng(file, maxSide);
        switch (png.outcome) {
            case PngOutcome::Decoded:
                return {ImageOutcome::Decoded, std::move(png.image)};
            case PngOutcome::TooLarge:
                return {ImageOutcome::TooLarge, {}};
            default:
                return {};
        }
    }
    const std::optional<ImageSides> sides = ReadDeclaredSides(file);
    if (!sides) return {};
    if (sides->width > maxSide || sides->height > maxSide) return {ImageOutcome::TooLarge, {}};
    if (!IsWhole(format, file, *sides)) return {ImageOutcome::CutShort, {}};
    try {
        if (format == ImageFormat::Psd) {
            std::optional<DecodedImage> image = DecodePsdComposite(file);
            if (!image) return {};
            return {ImageOutcome::Decoded, std::move(*image)};
        }
        std::optional<DecodedImage> image = detail::StbDecodeRgba(
            file, {sides->width, sides->height}, AllocationBound(format, *sides) + kTableAllowance);
        if (!image) return {};
        return {ImageOutcome::Decoded, std::move(*image)};
    } catch (const std::bad_alloc&) {
        return {ImageOutcome::TooLarge, {}};
    }
}

}  // namespace sorrelwick::format
