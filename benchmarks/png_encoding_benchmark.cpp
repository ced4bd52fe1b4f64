// Where a picture's encoding time goes, and what each setting gives: the
// previous encoder (every filter tried on every row, its own deflate at
// level 8) beside ours with each row filter and deflate level, and the
// steps apart (filtering, deflate, CRC). Pictures: the bench set's texture
// and drawn marble, wood and a pawn with alpha, 256x256 as in the sets.
//   ./benchmarks/sorrelwick_benchmarks --benchmark_filter=Png

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "format/png_encoding.h"
#include "format/tga_image.h"
#include "generators/demo_textures.h"

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
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace sorrelwick {
namespace {

constexpr std::uint16_t kSide = 256;

std::vector<std::uint8_t> Pixels(const std::vector<std::uint8_t>& tga) {
    return format::DecodeTga(tga).image.rgba;
}

// The pictures, by benchmark argument.
const std::vector<std::uint8_t>& Picture(std::int64_t which) {
    static const std::vector<std::uint8_t> pictures[] = {
        Pixels(gen::MakeTga(kSide, kSide, 32,
                            [](unsigned x, unsigned y) {
                                return gen::Rgba{static_cast<std::uint8_t>(x),
                                                 static_cast<std::uint8_t>(y),
                                                 static_cast<std::uint8_t>(x ^ y), 255};
                            })),
        Pixels(gen::DrawMarble(kSide, kSide, 32, {236, 230, 220, 255}, {90, 84, 80, 255})),
        Pixels(gen::DrawWoodFrame(kSide, kSide, 32)),
        Pixels(gen::DrawPawnSilhouette(kSide, kSide, 32, {200, 40, 30, 255})),
    };
    return pictures[which];
}
const char* const kPictureNames[] = {"bench", "marble", "wood", "pawn"};

void Label(benchmark::State& state, std::size_t bytes) {
    state.SetLabel(kPictureNames[state.range(0)]);
    state.counters["png_bytes"] = static_cast<double>(bytes);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSide * kSide * 4);
}

void AppendTo(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    out->insert(out->end(), static_cast<std::uint8_t*>(data),
                static_cast<std::uint8_t*>(data) + size);
}

void BM_PngPrevious(benchmark::State& state) {
    const std::vector<std::uint8_t>& rgba = Picture(state.range(0));
    std::vector<std::uint8_t> png;
    for (auto _ : state) {
        png.clear();
        stbi_write_png_to_func(AppendTo, &png, kSide, kSide, 4, rgba.data(), kSide * 4);
        benchmark::DoNotOptimize(png.data());
    }
    Label(state, png.size());
}

// Arguments: picture, filter number, deflate level.
void BM_PngOurs(benchmark::State& state) {
    const std::vector<std::uint8_t>& rgba = Picture(state.range(0));
    const format::PngSettings settings{static_cast<format::PngFilter>(state.range(1)),
                                       static_cast<int>(state.range(2))};
    std::vector<std::uint8_t> png;
    for (auto _ : state) {
        png = format::EncodePng(kSide, kSide, 4, rgba, settings);
        benchmark::DoNotOptimize(png.data());
    }
    Label(state, png.size());
}

void BM_PngFilterOnly(benchmark::State& state) {
    const std::vector<std::uint8_t>& rgba = Picture(state.range(0));
    const auto filter = static_cast<format::PngFilter>(state.range(1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(format::FilterRows(kSide, kSide, 4, rgba, filter).data());
    }
    Label(state, 0);
}

void BM_PngCrcOnly(benchmark::State& state) {
    const std::vector<std::uint8_t>& rgba = Picture(state.range(0));
    const std::vector<std::uint8_t> png = format::EncodePng(kSide, kSide, 4, rgba);
    for (auto _ : state) {
        benchmark::DoNotOptimize(crc32(0, png.data(), static_cast<uInt>(png.size())));
    }
    Label(state, png.size());
}

void Pictures(benchmark::internal::Benchmark* b) {
    for (int picture = 0; picture < 4; ++picture) b->Args({picture});
}
void Settings(benchmark::internal::Benchmark* b) {
    for (int picture = 0; picture < 4; ++picture) {
        for (const int filter : {0, 1, 2, 4}) {
            for (const int level : {1, 3, 6, 9}) b->Args({picture, filter, level});
        }
    }
}

BENCHMARK(BM_PngPrevious)->Apply(Pictures);
BENCHMARK(BM_PngOurs)->Apply(Settings);
BENCHMARK(BM_PngFilterOnly)->ArgsProduct({{0, 1, 2, 3}, {0, 1, 2, 4}});
BENCHMARK(BM_PngCrcOnly)->Apply(Pictures);

}  // namespace
}  // namespace sorrelwick
