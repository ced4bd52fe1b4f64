#include "format/psd_composite.h"

#include <algorithm>

namespace sorrelwick::format {
namespace {

// The header: signature, version, reserved bytes; then channels, height,
// width, depth and colour mode, read in this order from kChannelsAt.
constexpr std::size_t kChannelsAt = 12, kDepthAt = 22, kSectionsAt = 26;
constexpr std::uint16_t kRgbMode = 3;
constexpr std::uint16_t kMostChannels = 16;

// Big-endian reads that fail past the end, once and for all.
class Reader {
public:
    Reader(Bytes bytes, std::size_t at) : bytes_(bytes), at_(at) {}
    bool Ok() const { return ok_; }
    std::size_t At() const { return at_; }
    std::uint32_t Next(int width) {
        std::uint32_t value = 0;
        for (int i = 0; i < width; ++i) value = value << 8 | Byte();
        return value;
    }
    std::uint8_t Byte() {
        if (!ok_ || at_ >= bytes_.size()) {
            ok_ = false;
            return 0;
        }
        return bytes_[at_++];
    }
    void Skip(std::uint64_t count) {
        if (!ok_ || count > bytes_.size() - at_) {
            ok_ = false;
            return;
        }
        at_ += static_cast<std::size_t>(count);
    }

private:
    Bytes bytes_;
    std::size_t at_;
    bool ok_ = true;
};

// One channel's samples packed in runs, unpacked into every fourth byte of
// `out` (count samples): a count byte n below 128 takes the n + 1 bytes
// after it, one above 128 repeats the next byte 257 - n times; 128 is
// nothing. The rows follow one another, so the channel is one stream.
bool UnpackRuns(Reader& in, std::uint8_t* out, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const std::uint8_t n = in.Byte();
        if (n == 128) continue;
        const std::size_t length = n < 128 ? n + 1u : 257u - n;
        if (length > count - done) return false;
        if (n < 128) {
            for (std::size_t i = 0; i < length; ++i) out[4 * (done + i)] = in.Byte();
        } else {
            const std::uint8_t value = in.Byte();
            for (std::size_t i = 0; i < length; ++i) out[4 * (done + i)] = value;
        }
        if (!in.Ok()) return false;
        done += length;
    }
    return true;
}

std::uint8_t Unmatted(std::uint8_t colour, std::uint8_t alpha) {
    const int unmatted = ((colour + alpha - 255) * 255 + alpha / 2) / alpha;
    return static_cast<std::uint8_t>(std::clamp(unmatted, 0, 255));
}

}  // namespace

std::optional<PsdSides> ReadPsdSides(Bytes psd) {
    if (psd.size() < kSectionsAt) return std::nullopt;
    Reader header(psd, kChannelsAt);
    const std::uint32_t channels = header.Next(2), height = header.Next(4),
                        width = header.Next(4), depth = header.Next(2), mode = header.Next(2);
    if (channels < 1 || channels > kMostChannels || (depth != 8 && depth != 16) ||
        mode != kRgbMode || width == 0 || height == 0) {
        return std::nullopt;
    }
    return PsdSides{width, height};
}

std::optional<DecodedImage> DecodePsdComposite(Bytes psd) {
    const std::optional<PsdSides> sides = ReadPsdSides(psd);
    if (!sides) return std::nullopt;
    Reader in(psd, kChannelsAt);
    const std::uint32_t channels = in.Next(2);
    in = Reader(psd, kDepthAt);
    const std::uint32_t depth = in.Next(2);
    in = Reader(psd, kSectionsAt);
    for (int section = 0; section < 3; ++section) in.Skip(in.Next(4));
    const std::uint32_t compression = in.Next(2);
    // Runs of 16-bit samples are not a form editors write.
    if (!in.Ok() || compression > 1 || (compression == 1 && depth != 8)) return std::nullopt;

    const std::size_t pixels = std::size_t{sides->width} * sides->height;
    DecodedImage image{sides->width, sides->height, {}, channels >= 4};
    image.rgba.assign(pixels * 4, 0);
    const std::uint32_t planes = std::min<std::uint32_t>(channels, 4);
    if (compression == 1) in.Skip(std::uint64_t{channels} * sides->height * 2);  // row lengths
    for (std::uint32_t channel = 0; channel < planes; ++channel) {
        std::uint8_t* out = image.rgba.data() + channel;
        if (compression == 1) {
            if (!UnpackRuns(in, out, pixels)) return std::nullopt;
            continue;
        }
        // A 16-bit sample gives its high byte.
        for (std::size_t i = 0; i < pixels; ++i) {
            out[4 * i] = static_cast<std::uint8_t>(in.Next(static_cast<int>(depth / 8)) >>
                                                   (depth - 8));
        }
        if (!in.Ok()) return std::nullopt;
    }
    for (std::size_t i = 0; i < pixels; ++i) {
        std::uint8_t* pixel = &image.rgba[4 * i];
        if (planes < 4) pixel[3] = 255;  // missing colour channels stay 0
        if (planes >= 4 && pixel[3] != 0 && pixel[3] != 255) {
            for (int c = 0; c < 3; ++c) pixel[c] = Unmatted(pixel[c], pixel[3]);
        }
    }
    return image;
}

}  // namespace sorrelwick::format
