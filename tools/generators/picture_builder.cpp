#include "generators/picture_builder.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wold-style-cast"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace sorrelwick::gen {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Samples(std::uint32_t width, std::uint32_t height, int channels, const PixelFunction& pixel) {
    Bytes samples;
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const Rgba p = pixel(x, y);
            const std::uint8_t all[4] = {p.r, p.g, p.b, p.a};
            samples.insert(samples.end(), all, all + channels);
        }
    }
    return samples;
}

void AppendTo(void* context, void* data, int size) {
    auto* out = static_cast<Bytes*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

void PutBigEndian(Bytes& out, std::uint32_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutLittleEndian16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// One row in the packing of runs: a run of 3 to 128 equal bytes is a count
// byte 257 - n and the byte; anything else goes as literals, a count byte
// n - 1 and up to 128 bytes.
Bytes PackRow(const Bytes& row) {
    Bytes packed;
    std::size_t at = 0;
    while (at < row.size()) {
        std::size_t run = 1;
        while (at + run < row.size() && run < 128 && row[at + run] == row[at]) ++run;
        if (run >= 3) {
            packed.push_back(static_cast<std::uint8_t>(257 - run));
            packed.push_back(row[at]);
            at += run;
            continue;
        }
        std::size_t literal = 0;
        while (at + literal < row.size() && literal < 128) {
            const std::size_t next = at + literal;
            if (next + 2 < row.size() && row[next] == row[next + 1] && row[next] == row[next + 2])
                break;
            ++literal;
        }
        packed.push_back(static_cast<std::uint8_t>(literal - 1));
        packed.insert(packed.end(), row.begin() + static_cast<std::ptrdiff_t>(at),
                      row.begin() + static_cast<std::ptrdiff_t>(at + literal));
        at += literal;
    }
    return packed;
}

// Codes of varying width, least significant bit first, as GIF packs them.
class CodeWriter {
public:
    void Put(unsigned code, int bits) {
        for (int i = 0; i < bits; ++i) {
            current_ = static_cast<std::uint8_t>(current_ | ((code >> i) & 1u) << used_);
            if (++used_ == 8) {
                bytes_.push_back(current_);
                current_ = 0;
                used_ = 0;
            }
        }
    }
    Bytes Finish() {
        if (used_ > 0) bytes_.push_back(current_);
        return std::move(bytes_);
    }

private:
    Bytes bytes_;
    std::uint8_t current_ = 0;
    int used_ = 0;
};

}  // namespace

std::vector<std::uint8_t> MakeBmp(std::uint32_t width, std::uint32_t height, int channels,
                                  const PixelFunction& pixel) {
    const Bytes samples = Samples(width, height, channels, pixel);
    Bytes out;
    stbi_write_bmp_to_func(AppendTo, &out, static_cast<int>(width), static_cast<int>(height),
                           channels, samples.data());
    return out;
}

std::vector<std::uint8_t> MakeJpeg(std::uint32_t width, std::uint32_t height, int channels,
                                   const PixelFunction& pixel, int quality) {
    const Bytes samples = Samples(width, height, channels, pixel);
    Bytes out;
    stbi_write_jpg_to_func(AppendTo, &out, static_cast<int>(width), static_cast<int>(height),
                           channels, samples.data(), quality);
    return out;
}

std::vector<std::uint8_t> MakePsd(std::uint32_t width, std::uint32_t height, int channels,
                                  const PixelFunction& pixel, bool runLength) {
    Bytes psd;
    psd.reserve(26);
    for (const char c : std::string_view("8BPS")) psd.push_back(static_cast<std::uint8_t>(c));
    PutBigEndian(psd, 1, 2);  // version
    PutBigEndian(psd, 0, 4);  // six reserved bytes
    PutBigEndian(psd, 0, 2);
    PutBigEndian(psd, static_cast<std::uint32_t>(channels), 2);
    PutBigEndian(psd, height, 4);
    PutBigEndian(psd, width, 4);
    PutBigEndian(psd, 8, 2);  // bits a sample
    PutBigEndian(psd, 3, 2);  // RGB
    for (int section = 0; section < 3; ++section) PutBigEndian(psd, 0, 4);  // none of them
    PutBigEndian(psd, runLength ? 1 : 0, 2);
    const Bytes samples = Samples(width, height, 4, pixel);
    std::vector<Bytes> rows;
    for (int channel = 0; channel < channels; ++channel) {
        for (std::uint32_t y = 0; y < height; ++y) {
            Bytes row;
            for (std::uint32_t x = 0; x < width; ++x)
                row.push_back(samples[(std::size_t{y} * width + x) * 4 + static_cast<std::size_t>(channel)]);
            rows.push_back(runLength ? PackRow(row) : row);
        }
    }
    if (runLength) {
        for (const Bytes& row : rows) PutBigEndian(psd, static_cast<std::uint32_t>(row.size()), 2);
    }
    for (const Bytes& row : rows) psd.insert(psd.end(), row.begin(), row.end());
    return psd;
}

std::vector<std::uint8_t> MakeGif(std::uint16_t width, std::uint16_t height,
                                  const PixelFunction& pixel) {
    std::vector<Rgba> colours;
    std::vector<unsigned> indices;
    bool transparent = false;
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            Rgba p = pixel(x, y);
            if (p.a == 0) {
                transparent = true;
                p = {0, 0, 0, 0};
            }
            p.a = p.a == 0 ? 0 : 255;
            auto found = std::find(colours.begin(), colours.end(), p);
            if (found == colours.end()) found = colours.insert(colours.end(), p);
            indices.push_back(static_cast<unsigned>(found - colours.begin()));
        }
    }
    if (colours.size() > 256) throw std::invalid_argument("more than 256 colours");
    int tableBits = 1;
    while ((1u << tableBits) < colours.size()) ++tableBits;
    const int minimumCodeSize = std::max(tableBits, 2);

    Bytes gif = {'G', 'I', 'F', '8', '9', 'a'};
    PutLittleEndian16(gif, width);
    PutLittleEndian16(gif, height);
    gif.push_back(static_cast<std::uint8_t>(0x80 | 7 << 4 | (tableBits - 1)));
    gif.push_back(0);  // background colour
    gif.push_back(0);  // aspect ratio
    for (unsigned entry = 0; entry < (1u << tableBits); ++entry) {
        const Rgba c = entry < colours.size() ? colours[entry] : Rgba{};
        gif.insert(gif.end(), {c.r, c.g, c.b});
    }
    if (transparent) {
        const auto index = std::find(colours.begin(), colours.end(), Rgba{0, 0, 0, 0});
        gif.insert(gif.end(), {0x21, 0xF9, 4, 1, 0, 0,
                               static_cast<std::uint8_t>(index - colours.begin()), 0});
    }
    gif.push_back(0x2C);
    PutLittleEndian16(gif, 0);
    PutLittleEndian16(gif, 0);
    PutLittleEndian16(gif, width);
    PutLittleEndian16(gif, height);
    gif.push_back(0);  // no table of its own, not interlaced
    gif.push_back(static_cast<std::uint8_t>(minimumCodeSize));

    // Every code a colour index: after a clear code the table gains one
    // entry for each code but the first, and the code size grows once it
    // is full; a clear code before that keeps it.
    const unsigned clear = 1u << minimumCodeSize;
    const int codeBits = minimumCodeSize + 1;
    const unsigned codesPerClear = clear - 2;
    CodeWriter codes;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % codesPerClear == 0) codes.Put(clear, codeBits);
        codes.Put(indices[i], codeBits);
    }
    codes.Put(clear + 1, codeBits);
    const Bytes data = codes.Finish();
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t block = std::min<std::size_t>(255, data.size() - at);
        gif.push_back(static_cast<std::uint8_t>(block));
        gif.insert(gif.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + block));
    }
    gif.push_back(0);
    gif.push_back(0x3B);
    return gif;
}

std::vector<std::vector<std::uint8_t>> SamplePictures() {
    const PixelFunction pixel = [](unsigned x, unsigned y) {
        return Rgba{static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 30), 90,
                    static_cast<std::uint8_t>((x + y) % 2 ? 255 : 0)};
    };
    std::vector<std::vector<std::uint8_t>> samples = {
        MakeBmp(4, 8, 3, pixel),         MakeBmp(5, 3, 4, pixel),
        MakeJpeg(8, 8, 3, pixel),        MakeJpeg(9, 5, 1, pixel, 50),
        MakePsd(4, 4, 3, pixel, false),  MakePsd(5, 3, 4, pixel, true),
        MakeGif(4, 8, pixel),            MakeGif(7, 3, pixel),
    };
    for (std::size_t i = 0, whole = samples.size(); i < whole; i += 2) {
        std::vector<std::uint8_t> cut = samples[i];
        cut.resize(cut.size() * 2 / 3);
        samples.push_back(std::move(cut));
    }
    return samples;
}

}  // namespace sorrelwick::gen
