// The TGA decoder against the builder's pixels, for every decoded kind, and
// what it gives for images it can't decode whole.

#include "format/tga_image.h"

#include "format/byte_fields.h"
#include "support/set_fixture.h"

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

// Each kind plain and run-length encoded, from each of the four corners,
// with an ID field, a map that starts at index 7, and a footer. Values of
// 32 bits, and of 16 with the attribute bit declared, carry an alpha.
TEST(DecodeTga, PixelsEqualTheBuiltImageForEveryKindAndOrigin) {
    const struct {
        std::uint8_t type, depth, mapBits;
    } kinds[] = {{1, 8, 15}, {1, 8, 16}, {1, 8, 24}, {1, 16, 32}, {2, 15, 0},
                 {2, 16, 0}, {2, 24, 0}, {2, 32, 0}, {3, 8, 0}};
    for (const auto& kind : kinds) {
        for (const int runLength : {0, 8}) {
            for (unsigned corner = 0; corner < 4; ++corner) {
                const gen::TgaLayout layout{
                    .imageType = static_cast<std::uint8_t>(kind.type + runLength),
                    .depth = kind.depth,
                    .mapEntryBits = kind.mapBits,
                    .mapFirstIndex = 7,
                    .alphaBit = corner < 2,
                    .topToBottom = (corner & 1u) != 0,
                    .rightToLeft = (corner & 2u) != 0,
                    .id = "built by our generator"};
                SCOPED_TRACE(testing::Message()
                             << "type " << +layout.imageType << ", depth " << +kind.depth
                             << ", map " << +kind.mapBits << ", corner " << corner);
                gen::BuiltTga built = gen::BuildTga(layout, 5, 3, Pattern);
                EXPECT_EQ(format::CheckImageCompleteness(built.file),
                          format::ImageCompleteness::Complete);
                built.file.insert(built.file.end(), 26, 0xEE);
                const format::DecodeResult result = format::DecodeTga(built.file);
                EXPECT_EQ(result.outcome, DecodeOutcome::Decoded);
                EXPECT_EQ(std::make_pair(result.image.width, result.image.height),
                          std::make_pair(5u, 3u));
                EXPECT_EQ(result.image.rgba, built.rgba);
                const unsigned valueBits = kind.mapBits ? kind.mapBits : kind.depth;
                EXPECT_EQ(result.image.alpha,
                          valueBits == 32 || (valueBits == 16 && layout.alphaBit));
            }
        }
    }
}

// A header alone, its map (when it has one) starting at index 1.
Bytes Header(std::uint8_t type, std::uint8_t depth, std::uint16_t width, std::uint16_t height,
             std::uint8_t mapType = 0, std::uint8_t mapBits = 0) {
    Bytes header(18, 0);
    header[1] = mapType;
    header[2] = type;
    header[5] = 1;
    header[7] = mapBits;
    format::PutU32At(header, 12, std::uint32_t{height} << 16 | width);  // both little-endian
    header[16] = depth;
    header[17] = 0x20;
    return header;
}

TEST(DecodeRefusals, EachOutcomeAgreesWithTheCompletenessCheck) {
    const Bytes plain = gen::MakeTga(4, 2, 24);
    gen::TgaLayout runLength;
    runLength.imageType = 10;
    const Bytes rle = gen::BuildTga(runLength, 4, 2, Pattern).file;
    using Outcome = DecodeOutcome;
    using Check = format::ImageCompleteness;
    const struct {
        const char* what;
        Bytes tga;
        Outcome outcome;
        Check completeness;
    } cases[] = {
        // clang-format off
        {"no header", Head(plain, 17), Outcome::BadHeader, Check::CutShort},
        {"two bytes", Bytes{0, 0}, Outcome::BadHeader, Check::NotChecked},
        {"colour-mapped without a map", Header(1, 8, 0, 0), Outcome::BadHeader, Check::Complete},
        {"unknown type", Header(32, 24, 1, 1), Outcome::UnsupportedType, Check::NotChecked},
        {"true colour of 8 bits", Header(2, 8, 0, 0), Outcome::UnsupportedType, Check::Complete},
        {"grey of 16 bits", Header(11, 16, 0, 0), Outcome::UnsupportedType, Check::Complete},
        {"8-bit map entries", Header(1, 8, 0, 0, 1, 8), Outcome::UnsupportedType, Check::CutShort},
        {"just over the limit", Header(2, 24, 8192, 8193), Outcome::TooLarge, Check::CutShort},
        {"largest sides", Header(10, 32, 65535, 65535), Outcome::TooLarge, Check::CutShort},
        {"plain cut", Cut(plain, 1), Outcome::CutShort, Check::CutShort},
        {"packets cut", Cut(rle, 1), Outcome::CutShort, Check::CutShort},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const format::DecodeResult result = format::DecodeTga(c.tga);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(format::CheckImageCompleteness(c.tga), c.completeness);
        EXPECT_EQ(result.image.rgba.empty(), c.outcome != DecodeOutcome::CutShort);
    }
}

// What a cut image holds is decoded; the pixels it lacks are transparent.
TEST(DecodeRefusals, ACutImageKeepsThePixelsBeforeTheEnd) {
    const gen::BuiltTga built = gen::BuildTga({}, 4, 2, Pattern);
    const format::DecodeResult result = format::DecodeTga(Cut(built.file, 3 * 4 + 1));
    ASSERT_EQ(result.outcome, DecodeOutcome::CutShort);
    Bytes expected(built.rgba.begin(), built.rgba.begin() + 12);
    expected.resize(built.rgba.size(), 0);
    EXPECT_EQ(result.image.rgba, expected);
}

}  // namespace
}  // namespace sorrelwick::test
