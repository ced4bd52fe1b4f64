#include "generators/png_builder.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "format/png_encoding.h"

namespace sorrelwick::gen {
namespace {

// The samples of pixel (x, y): grey takes the red value.
void AppendSamples(std::vector<std::uint8_t>& out, const Rgba& p, int channels) {
    const std::uint8_t all[4] = {p.r, p.g, p.b, p.a};
    if (channels <= 2) {
        out.push_back(p.r);
        if (channels == 2) out.push_back(p.a);
    } else {
        out.insert(out.end(), all, all + channels);
    }
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void AppendChunk(std::vector<std::uint8_t>& png, std::string_view type,
                 const std::vector<std::uint8_t>& data) {
    AppendU32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = png.size();
    png.insert(png.end(), type.begin(), type.end());
    png.insert(png.end(), data.begin(), data.end());
    AppendU32(png, Crc32(&png[typeAt], png.size() - typeAt));
}

// Bits of a deflate stream, least significant first.
class BitWriter {
public:
    void Bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) Bit((value >> i) & 1u);
    }
    // A Huffman code goes most significant bit first.
    void Code(std::uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1u);
    }
    std::vector<std::uint8_t> Finish() {
        if (used_ > 0) bytes_.push_back(current_);
        return std::move(bytes_);
    }

private:
    void Bit(std::uint32_t bit) {
        current_ = static_cast<std::uint8_t>(current_ | bit << used_);
        if (++used_ == 8) {
            bytes_.push_back(current_);
            current_ = 0;
            used_ = 0;
        }
    }
    std::vector<std::uint8_t> bytes_;
    std::uint8_t current_ = 0;
    int used_ = 0;
};

// A symbol of the fixed literal/length code.
void FixedSymbol(BitWriter& out, unsigned symbol) {
    if (symbol < 144) return out.Code(0x30 + symbol, 8);
    if (symbol < 256) return out.Code(0x190 + symbol - 144, 9);
    if (symbol < 280) return out.Code(symbol - 256, 7);
    out.Code(0xC0 + symbol - 280, 8);
}

// A match of 3 to 258 bytes at a distance of 1 to 4 (the distance codes
// without extra bits).
void FixedMatch(BitWriter& out, unsigned length, unsigned distance) {
    static constexpr std::array<unsigned, 29> kBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
    unsigned code = 28;
    while (kBase[code] > length) --code;
    FixedSymbol(out, 257 + code);
    const int extra = code < 8 || code == 28 ? 0 : static_cast<int>(code - 4) / 4;
    out.Bits(length - kBase[code], extra);
    out.Code(distance - 1, 5);
}

// A zlib stream of one block in the fixed code, with the repeats of a pixel
// or of a run as matches: a plain picture compresses well below its size,
// as an image editor's file does.
std::vector<std::uint8_t> FixedZlib(const std::vector<std::uint8_t>& raw) {
    constexpr unsigned kMinMatch = 3, kMaxMatch = 258, kMaxDistance = 4;
    BitWriter out;
    out.Bits(1, 1);  // the last block
    out.Bits(1, 2);  // the fixed code
    for (std::size_t at = 0; at < raw.size();) {
        unsigned best = 0, bestDistance = 0;
        for (unsigned distance = 1; distance <= kMaxDistance && distance <= at; ++distance) {
            unsigned length = 0;
            while (length < kMaxMatch && at + length < raw.size() &&
                   raw[at + length] == raw[at + length - distance]) {
                ++length;
            }
            if (length > best) best = length, bestDistance = distance;
        }
        if (best >= kMinMatch) {
            FixedMatch(out, best, bestDistance);
            at += best;
        } else {
            FixedSymbol(out, raw[at++]);
        }
    }
    FixedSymbol(out, 256);  // end of block
    std::vector<std::uint8_t> zlib = {0x78, 0x01};
    const std::vector<std::uint8_t> deflated = out.Finish();
    zlib.insert(zlib.end(), deflated.begin(), deflated.end());
    std::uint32_t a = 1, b = 0;  // Adler-32 of the raw data
    for (const std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    AppendU32(zlib, b << 16 | a);
    return zlib;
}

}  // namespace

std::vector<std::uint8_t> MakePng(std::uint32_t width, std::uint32_t height, int channels,
                                  const PixelFunction& pixel) {
    const auto count = static_cast<std::size_t>(channels);
    std::vector<std::uint8_t> samples;
    samples.reserve(std::size_t{width} * height * count);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            AppendSamples(samples, pixel(x, y), channels);
        }
    }
    return format::EncodePng(width, height, channels, samples);
}

std::vector<std::uint8_t> MakeInterlacedPng(std::uint32_t width, std::uint32_t height, int channels,
                                            const PixelFunction& pixel) {
    struct Pass {
        unsigned x, y, dx, dy;
    };
    constexpr std::array<Pass, 7> kAdam7 = {{{0, 0, 8, 8},
                                             {4, 0, 8, 8},
                                             {0, 4, 4, 8},
                                             {2, 0, 4, 4},
                                             {0, 2, 2, 4},
                                             {1, 0, 2, 2},
                                             {0, 1, 1, 2}}};
    std::vector<std::uint8_t> raw;
    for (const Pass& pass : kAdam7) {
        // A pass with no column has no rows either.
        if (pass.x >= width) continue;
        for (unsigned y = pass.y; y < height; y += pass.dy) {
            raw.push_back(0);  // filter: none
            for (unsigned x = pass.x; x < width; x += pass.dx)
                AppendSamples(raw, pixel(x, y), channels);
        }
    }
    constexpr std::uint8_t kColourTypes[5] = {0, 0, 4, 2, 6};
    std::vector<std::uint8_t> header;
    AppendU32(header, width);
    AppendU32(header, height);
    header.insert(header.end(), {8, kColourTypes[channels], 0, 0, 1});  // Adam7
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", FixedZlib(raw));
    AppendChunk(png, "IEND", {});
    return png;
}

std::vector<std::vector<std::uint8_t>> SamplePngs() {
    const PixelFunction pixel = [](unsigned x, unsigned y) {
        return Rgba{static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 30), 90,
                    static_cast<std::uint8_t>(255 - x - y)};
    };
    std::vector<std::vector<std::uint8_t>> samples;
    for (int channels = 1; channels <= 4; ++channels) {
        samples.push_back(MakePng(4, 8, channels, pixel));
    }
    samples.push_back(MakePng(5, 3, 3, pixel));
    std::vector<std::uint8_t> cut = MakePng(8, 8, 4, pixel);
    cut.resize(cut.size() / 2);
    samples.push_back(cut);
    return samples;
}

}  // namespace sorrelwick::gen
