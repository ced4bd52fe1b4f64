#include "format/png_encoding.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace sorrelwick::format {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// The colour type of each channel count: grey, grey and alpha, RGB, RGBA.
constexpr std::array<std::uint8_t, 5> kColourType = {0, 0, 4, 2, 6};

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// One chunk: length, type, data, CRC of the type and data.
void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5], const std::uint8_t* data,
              std::size_t size) {
    PutU32(out, static_cast<std::uint32_t>(size));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    if (size != 0) out.insert(out.end(), data, data + size);
    const auto crc = crc32(0, out.data() + typeAt, static_cast<uInt>(size + 4));
    PutU32(out, static_cast<std::uint32_t>(crc));
}

// The Paeth predictor: of left, up and up-left, the one nearest to
// left + up - upLeft; ties go to left, then up. In 16-bit lanes and without
// branches, so that the compiler can work many bytes at once.
inline std::uint8_t Paeth(std::uint8_t left, std::uint8_t up, std::uint8_t upLeft) {
    const auto a = static_cast<std::int16_t>(left), b = static_cast<std::int16_t>(up),
               c = static_cast<std::int16_t>(upLeft);
    const auto toLeft = static_cast<std::int16_t>(b > c ? b - c : c - b);
    const auto toUp = static_cast<std::int16_t>(a > c ? a - c : c - a);
    const auto sum = static_cast<std::int16_t>(a + b - c - c);
    const auto toUpLeft = static_cast<std::int16_t>(sum < 0 ? -sum : sum);
    const std::uint8_t upOrUpLeft = toUp <= toUpLeft ? up : upLeft;
    return ((toLeft <= toUp) & (toLeft <= toUpLeft)) ? left : upOrUpLeft;
}

// One row less its prediction by `filter` into `out`; `above` is null for
// the first row, whose row above a reader takes as zeros. Each filter has
// its own loop: this runs for every byte of every picture.
void FilterRow(const std::uint8_t* row, const std::uint8_t* above, std::size_t stride,
               std::size_t step, PngFilter filter, std::uint8_t* out) {
    const std::size_t lead = std::min(step, stride);  // bytes with no left neighbour
    const auto put = [out, row](std::size_t i, int predicted) {
        out[i] = static_cast<std::uint8_t>(row[i] - predicted);
    };
    // With no row above, up and Paeth predict as the left byte alone.
    if (!above && filter != PngFilter::None)
        filter = filter == PngFilter::Up ? PngFilter::None : PngFilter::Sub;
    switch (filter) {
        case PngFilter::None:
            std::memcpy(out, row, stride);
            break;
        case PngFilter::Sub:
            std::memcpy(out, row, lead);
            for (std::size_t i = lead; i < stride; ++i) put(i, row[i - step]);
            break;
        case PngFilter::Up:
            for (std::size_t i = 0; i < stride; ++i) put(i, above[i]);
            break;
        case PngFilter::Paeth:
            for (std::size_t i = 0; i < lead; ++i) put(i, above[i]);
            for (std::size_t i = lead; i < stride; ++i)
                put(i, Paeth(row[i - step], above[i], above[i - step]));
            break;
    }
}

}  // namespace

std::vector<std::uint8_t> FilterRows(std::uint32_t width, std::uint32_t height, int channels,
                                     Bytes samples, PngFilter filter) {
    const std::size_t stride = std::size_t{width} * static_cast<std::size_t>(channels);
    const auto step = static_cast<std::size_t>(channels);
    std::vector<std::uint8_t> rows(std::size_t{height} * (stride + 1));
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* row = samples.data() + y * stride;
        std::uint8_t* out = rows.data() + y * (stride + 1);
        out[0] = static_cast<std::uint8_t>(filter);
        FilterRow(row, y == 0 ? nullptr : row - stride, stride, step, filter, out + 1);
    }
    return rows;
}

std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, Bytes rgba) {
    return EncodePng(width, height, 4, rgba);
}

std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, int channels,
                                    Bytes samples, const PngSettings& settings) {
    // zlib counts in uInt; one filter byte per row on top of the pixels.
    constexpr std::uint64_t kLargestPicture = std::numeric_limits<int>::max() / 2;
    std::vector<std::uint8_t> png;
    if (channels < 1 || channels > 4) return png;
    const auto perPixel = static_cast<std::uint64_t>(channels);
    const std::uint64_t bytes = std::uint64_t{width} * height * perPixel;
    if (bytes == 0 || bytes > kLargestPicture || samples.size() != bytes) return png;

    const std::vector<std::uint8_t> rows =
        FilterRows(width, height, channels, samples, settings.filter);
    z_stream stream{};
    if (deflateInit2(&stream, settings.level, Z_DEFLATED, MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        throw std::bad_alloc();
    }
    std::vector<std::uint8_t> deflated(deflateBound(&stream, static_cast<uLong>(rows.size())));
    stream.next_in = const_cast<Bytef*>(rows.data());
    stream.avail_in = static_cast<uInt>(rows.size());
    stream.next_out = deflated.data();
    stream.avail_out = static_cast<uInt>(deflated.size());
    const int result = deflate(&stream, Z_FINISH);
    deflated.resize(stream.total_out);
    deflateEnd(&stream);
    // The bound holds the whole stream: anything else is memory refused.
    if (result != Z_STREAM_END) throw std::bad_alloc();

    png.reserve(kSignature.size() + 3 * 12 + 13 + deflated.size());
    png.assign(kSignature.begin(), kSignature.end());
    std::vector<std::uint8_t> header;
    PutU32(header, width);
    PutU32(header, height);
    header.insert(header.end(), {8, kColourType[static_cast<std::size_t>(channels)], 0, 0, 0});
    PutChunk(png, "IHDR", header.data(), header.size());
    PutChunk(png, "IDAT", deflated.data(), deflated.size());
    PutChunk(png, "IEND", nullptr, 0);
    return png;
}

}  // namespace sorrelwick::format
