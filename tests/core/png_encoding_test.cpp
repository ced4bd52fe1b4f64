// PNG files written for pages and mods: every channel count, row filter and
// shape decodes back to the samples given, and what can't be encoded gives
// no file.

#include "format/png_encoding.h"

#include <gtest/gtest.h>

#include "format/png_image.h"

namespace sorrelwick::test {
namespace {

using format::PngFilter;

// Samples that make every filter predict wrongly somewhere: ramps, a
// noise term, and bytes near 0 and 255 so that differences wrap.
std::vector<std::uint8_t> Samples(std::uint32_t width, std::uint32_t height, int channels) {
    std::vector<std::uint8_t> samples(std::size_t{width} * height *
                                      static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::size_t x = i / static_cast<std::size_t>(channels) % width;
        const std::size_t y = i / static_cast<std::size_t>(channels) / width;
        samples[i] = static_cast<std::uint8_t>(x * 37 + y * 251 + ((i * 2654435761u) >> 27) +
                                               (i % 3 == 0 ? 250 : 0));
    }
    return samples;
}

// `samples` as the decoder gives them: RGBA, grey spread over R, G and B,
// alpha 255 where none is stored.
std::vector<std::uint8_t> AsRgba(const std::vector<std::uint8_t>& samples, int channels) {
    std::vector<std::uint8_t> rgba;
    for (std::size_t at = 0; at < samples.size(); at += static_cast<std::size_t>(channels)) {
        const std::uint8_t* s = &samples[at];
        if (channels <= 2) {
            rgba.insert(rgba.end(), {s[0], s[0], s[0], channels == 2 ? s[1] : std::uint8_t{255}});
        } else {
            rgba.insert(rgba.end(), {s[0], s[1], s[2], channels == 4 ? s[3] : std::uint8_t{255}});
        }
    }
    return rgba;
}

TEST(EncodePng, EveryChannelCountFilterAndShapeDecodesToItsSamples) {
    const std::pair<std::uint32_t, std::uint32_t> shapes[] = {{1, 1},   {3, 5},   {17, 2},
                                                              {256, 1}, {1, 300}, {64, 64}};
    for (const int channels : {1, 2, 3, 4}) {
        for (const PngFilter filter :
             {PngFilter::None, PngFilter::Sub, PngFilter::Up, PngFilter::Paeth}) {
            for (const int level : {1, 3, 9}) {
                for (const auto& [width, height] : shapes) {
                    SCOPED_TRACE(::testing::Message()
                                 << channels << " channels, filter " << static_cast<int>(filter)
                                 << ", level " << level << ", " << width << "x" << height);
                    const std::vector<std::uint8_t> samples = Samples(width, height, channels);
                    const std::vector<std::uint8_t> png =
                        format::EncodePng(width, height, channels, samples, {filter, level});
                    const format::PngDecodeResult decoded = format::DecodePng(png);
                    ASSERT_EQ(decoded.outcome, format::PngOutcome::Decoded);
                    EXPECT_EQ(decoded.image.width, width);
                    EXPECT_EQ(decoded.image.height, height);
                    EXPECT_EQ(decoded.image.rgba, AsRgba(samples, channels));
                }
            }
        }
    }
}

TEST(EncodePng, WhatCannotBeEncodedGivesNoFile) {
    const std::vector<std::uint8_t> four(4 * 4 * 4, 7);
    struct Case {
        const char* what;
        std::uint32_t width, height;
        int channels;
        std::size_t samples;
    };
    const Case cases[] = {
        {"no pixels", 0, 4, 4, 0},         {"too few samples", 4, 4, 4, 63},
        {"too many samples", 4, 4, 3, 64}, {"no channels", 4, 4, 0, 0},
        {"five channels", 4, 4, 5, 64},    {"larger than the encoder takes", 65536, 65536, 4, 64},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(
            format::EncodePng(c.width, c.height, c.channels, format::Bytes(four).first(c.samples))
                .empty())
            << c.what;
    }
}

}  // namespace
}  // namespace sorrelwick::test
