// The TGA decoder against the builder's pixels, for every decoded kind.

#include "format/tga_image.h"

#include <gtest/gtest.h>

#include "generators/tga_builder.h"

namespace sorrelwick::test {
namespace {

using format::DecodeOutcome;

// Every pixel differs from its neighbours in some channel, the alpha
// alternates, and equal runs appear for the run-length packets.
gen::Rgba Pattern(unsigned x, unsigned y) {
    if (y == 1) return {200, 100, 50, 255};  // one long run
    return {static_cast<std::uint8_t>(x * 40 + y * 8), static_cast<std::uint8_t>(255 - x * 24),
            static_cast<std::uint8_t>(y * 60 + 9),
            static_cast<std::uint8_t>((x + y) % 2 ? 255 : 0)};
}

struct DecodeCase {
    std::string label;
    gen::TgaLayout layout;
};

void PrintTo(const DecodeCase& decodeCase, std::ostream* out) {
    *out << decodeCase.label;
}

class DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, PixelsEqualTheBuiltImageWhateverTheTrailingBytes) {
    const gen::TgaLayout& layout = GetParam().layout;
    gen::BuiltTga built = gen::BuildTga(layout, 5, 3, Pattern);
    const format::DecodeResult result = format::DecodeTga(built.file);
    ASSERT_EQ(result.outcome, DecodeOutcome::Decoded);
    EXPECT_EQ(result.image.width, 5u);
    EXPECT_EQ(result.image.height, 3u);
    EXPECT_EQ(result.image.rgba, built.rgba);
    EXPECT_EQ(format::CheckImageCompleteness(built.file), format::ImageCompleteness::Complete);

    built.file.insert(built.file.end(), 26, 0xEE);  // a footer
    EXPECT_EQ(format::DecodeTga(built.file).image.rgba, built.rgba);
}

gen::TgaLayout Layout(std::uint8_t type, std::uint8_t depth, std::uint8_t mapBits = 24) {
    gen::TgaLayout layout;
    layout.imageType = type;
    layout.depth = depth;
    layout.mapEntryBits = mapBits;
    return layout;
}

gen::TgaLayout With(gen::TgaLayout layout, bool top, bool rightToLeft, bool alphaBit = false) {
    layout.topToBottom = top;
    layout.rightToLeft = rightToLeft;
    layout.alphaBit = alphaBit;
    layout.id = "built by our generator";
    layout.mapFirstIndex = 7;
    return layout;
}

std::vector<DecodeCase> AllKinds() {
    std::vector<DecodeCase> cases;
    const struct {
        const char* label;
        std::uint8_t type, depth, mapBits;
    } kinds[] = {
        {"Mapped8x15", 1, 8, 15},   {"Mapped8x16", 1, 8, 16}, {"Mapped8x24", 1, 8, 24},
        {"Mapped16x32", 1, 16, 32}, {"True15", 2, 15, 24},    {"True16", 2, 16, 24},
        {"True24", 2, 24, 24},      {"True32", 2, 32, 24},    {"Grey8", 3, 8, 24},
    };
    const struct {
        const char* label;
        bool top, rightToLeft, alphaBit;
    } orders[] = {{"TopLeft", true, false, false},
                  {"BottomLeft", false, false, true},
                  {"BottomRight", false, true, false},
                  {"TopRight", true, true, true}};
    for (const auto& kind : kinds) {
        for (const int runLength : {0, 8}) {
            for (const auto& order : orders) {
                cases.push_back({std::string(kind.label) + (runLength ? "Rle" : "") + order.label,
                                 With(Layout(static_cast<std::uint8_t>(kind.type + runLength),
                                             kind.depth, kind.mapBits),
                                      order.top, order.rightToLeft, order.alphaBit)});
            }
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryKind, DecodeTest, testing::ValuesIn(AllKinds()),
                         [](const auto& test) { return test.param.label; });

}  // namespace
}  // namespace sorrelwick::test
