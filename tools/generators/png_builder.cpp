#include "generators/png_builder.h"

#include "format/png_encoding.h"

namespace sorrelwick::gen {

std::vector<std::uint8_t> MakePng(std::uint32_t width, std::uint32_t height, int channels,
                                  const PixelFunction& pixel) {
    const auto count = static_cast<std::size_t>(channels);
    std::vector<std::uint8_t> samples;
    samples.reserve(std::size_t{width} * height * count);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const Rgba p = pixel(x, y);
            const std::uint8_t all[4] = {p.r, p.g, p.b, p.a};
            if (channels <= 2) {
                samples.push_back(p.r);
                if (channels == 2) samples.push_back(p.a);
            } else {
                samples.insert(samples.end(), all, all + count);
            }
        }
    }
    return format::EncodePng(width, height, channels, samples);
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
