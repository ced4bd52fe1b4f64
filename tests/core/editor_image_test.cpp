// Pictures as editors save them: each format decodes to the pixels our
// generators drew, a file whose data ends early is refused, the declared
// sides are checked before anything is decoded; and pictures of other sides
// fitted to a texture's.

#include "format/editor_image.h"

#include <cstdlib>

#include "format/tga_encoder.h"
#include "generators/picture_builder.h"
#include "generators/png_builder.h"
#include "operations/texture_conversion.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

using format::ImageFormat;
using format::ImageOutcome;

// Every channel varies; the alpha is 0 or 255, which every format keeps as
// it is (a PSD un-mattes any other alpha; a GIF has only transparent).
gen::Rgba Painted(unsigned x, unsigned y) {
    return {static_cast<std::uint8_t>(x * 29 + 7), static_cast<std::uint8_t>(y * 17 + 3),
            static_cast<std::uint8_t>((x ^ y) * 13), static_cast<std::uint8_t>((x + y) % 3 ? 255 : 0)};
}

// Slow gradients, which a JPEG keeps within a few levels.
gen::Rgba Smooth(unsigned x, unsigned y) {
    return {static_cast<std::uint8_t>(40 + x * 4), static_cast<std::uint8_t>(200 - y * 3),
            static_cast<std::uint8_t>(90 + (x + y)), 255};
}

// The RGBA a decoder gives for `pixel`: alpha 255 without an alpha channel,
// and what a GIF gives for a transparent pixel (all 0).
Bytes Expected(unsigned width, unsigned height, const gen::PixelFunction& pixel, bool alpha,
               bool transparentIsZero = false, bool grey = false) {
    Bytes rgba;
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            gen::Rgba p = pixel(x, y);
            if (grey) p.g = p.b = p.r;
            if (!alpha) p.a = 255;
            if (transparentIsZero && p.a == 0) p = {0, 0, 0, 0};
            rgba.insert(rgba.end(), {p.r, p.g, p.b, p.a});
        }
    }
    return rgba;
}

int LargestDifference(const Bytes& a, const Bytes& b) {
    int largest = a.size() == b.size() ? 0 : 256;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        largest = std::max(largest, std::abs(int{a[i]} - int{b[i]}));
    return largest;
}

// Half transparent, and matted against white as a PSD keeps such colour:
// m = c x a / 255 + 255 - a. The decoder takes the matte out again.
gen::Rgba Matted(unsigned x, unsigned) {
    const auto matte = [](int c) { return static_cast<std::uint8_t>((c * 128 + 127) / 255 + 127); };
    return {matte(static_cast<int>(x) * 20), matte(200), 0, 128};
}
gen::Rgba Unmatted(unsigned x, unsigned) {
    return {static_cast<std::uint8_t>(x * 20), 200, 0, 128};
}

struct FormatCase {
    const char* what;
    Bytes file;
    ImageFormat format;
    Bytes expected;
    int tolerance = 0;  // JPEG is lossy
};

TEST(EditorImage, EachFormatDecodesToThePixelsDrawn) {
    constexpr unsigned kW = 13, kH = 7;  // odd sides: padded rows, partial blocks
    // clang-format off
    const FormatCase cases[] = {
        {"BMP 24 bits", gen::MakeBmp(kW, kH, 3, Painted), ImageFormat::Bmp, Expected(kW, kH, Painted, false)},
        {"BMP 32 bits", gen::MakeBmp(kW, kH, 4, Painted), ImageFormat::Bmp, Expected(kW, kH, Painted, true)},
        {"JPEG colour", gen::MakeJpeg(kW, kH, 3, Smooth), ImageFormat::Jpeg, Expected(kW, kH, Smooth, false), 6},
        {"JPEG grey", gen::MakeJpeg(kW, kH, 1, Smooth), ImageFormat::Jpeg, Expected(kW, kH, Smooth, false, false, true), 6},
        {"PSD RGB raw", gen::MakePsd(kW, kH, 3, Painted, false), ImageFormat::Psd, Expected(kW, kH, Painted, false)},
        {"PSD RGBA raw", gen::MakePsd(kW, kH, 4, Painted, false), ImageFormat::Psd, Expected(kW, kH, Painted, true)},
        {"PSD RGB runs", gen::MakePsd(kW, kH, 3, Painted, true), ImageFormat::Psd, Expected(kW, kH, Painted, false)},
        {"PSD RGBA runs", gen::MakePsd(kW, kH, 4, Painted, true), ImageFormat::Psd, Expected(kW, kH, Painted, true)},
        {"PSD half transparent", gen::MakePsd(kW, kH, 4, Matted, true), ImageFormat::Psd, Expected(kW, kH, Unmatted, true), 1},
        {"GIF", gen::MakeGif(kW, kH, Painted), ImageFormat::Gif, Expected(kW, kH, Painted, true, true)},
        {"PNG", gen::MakePng(kW, kH, 4, Painted), ImageFormat::Png, Expected(kW, kH, Painted, true)},
    };
    // clang-format on
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(format::DetectImageFormat(c.file), c.format);
        const auto sides = format::ReadDeclaredSides(c.file);
        ASSERT_TRUE(sides);
        EXPECT_EQ(std::make_pair(sides->width, sides->height), std::make_pair(kW, kH));
        const format::ImageDecodeResult decoded = format::DecodeEditorImage(c.file);
        ASSERT_EQ(decoded.outcome, ImageOutcome::Decoded);
        EXPECT_LE(LargestDifference(decoded.image.rgba, c.expected), c.tolerance);
    }
}

// The decoder would fill a picture whose data ends early with zeros; each
// format's own end tells it, before anything is decoded. Sides above the
// largest are refused before their data is looked at, however few bytes
// declare them.
TEST(EditorImage, CutShortAndOversizedFilesAreRefusedBeforeDecoding) {
    const Bytes bmp = gen::MakeBmp(64, 64, 3, Painted), jpeg = gen::MakeJpeg(64, 64, 3, Smooth);
    const Bytes psd = gen::MakePsd(64, 64, 4, Painted, false);
    const Bytes psdRuns = gen::MakePsd(64, 64, 4, Painted, true);
    const Bytes gif = gen::MakeGif(64, 64, [](unsigned x, unsigned y) {
        return gen::Rgba{static_cast<std::uint8_t>(x / 8 * 30), static_cast<std::uint8_t>(y / 8 * 30), 90, 255};
    });
    Bytes hugeBmp = Head(bmp, 54);  // 20000 x 20000 declared, no pixels
    format::PutU32At(hugeBmp, 18, 20000);
    format::PutU32At(hugeBmp, 22, 20000);
    // A code table that counts more values than a table holds.
    Bytes overfullTable = jpeg;
    for (std::size_t at = 2; at + 6 < overfullTable.size(); ++at) {
        if (overfullTable[at] == 0xFF && overfullTable[at + 1] == 0xC4) {
            overfullTable[at + 5] = 200;
            overfullTable[at + 6] = 100;
            break;
        }
    }
    Bytes largeBmp = Head(bmp, 54);  // 8000 x 8000 declared: within the sides
    format::PutU32At(largeBmp, 18, 8000);
    format::PutU32At(largeBmp, 22, 8000);
    const struct {
        const char* what;
        Bytes file;
        ImageOutcome outcome;
        std::uint32_t maxSide = format::kMaxEditorSide;
    } cases[] = {
        {"BMP one byte short", Cut(bmp, 1), ImageOutcome::CutShort},
        {"BMP of 8000x8000 without pixels", largeBmp, ImageOutcome::CutShort},
        {"BMP of 20000x20000", hugeBmp, ImageOutcome::TooLarge},
        {"BMP above a smaller largest side", bmp, ImageOutcome::TooLarge, 32},
        {"JPEG without its end marker", Cut(jpeg, 2), ImageOutcome::CutShort},
        {"JPEG cut in its scan", Head(jpeg, jpeg.size() / 2), ImageOutcome::CutShort},
        {"JPEG with an overfull code table", overfullTable, ImageOutcome::Unreadable},
        {"PSD one byte short", Cut(psd, 1), ImageOutcome::CutShort},
        {"PSD runs one byte short", Cut(psdRuns, 1), ImageOutcome::CutShort},
        {"PSD runs without their rows", Head(psdRuns, 40), ImageOutcome::CutShort},
        {"GIF without its trailer", Cut(gif, 1), ImageOutcome::CutShort},
        {"PNG cut short", Cut(gen::MakePng(64, 64, 3, Painted), 20), ImageOutcome::Unreadable},
        {"GIF header alone", Head(gif, 6), ImageOutcome::Unreadable},
        {"a TGA", gen::MakeTga(4, 4, 24), ImageOutcome::Unreadable},
        {"whole BMP", bmp, ImageOutcome::Decoded},
        {"whole PSD of runs", psdRuns, ImageOutcome::Decoded},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const format::ImageDecodeResult decoded = format::DecodeEditorImage(c.file, c.maxSide);
        EXPECT_EQ(decoded.outcome, c.outcome);
        if (c.outcome != ImageOutcome::Decoded) {
            EXPECT_TRUE(decoded.image.rgba.empty());
        }
    }
}

// One colour everywhere: a picture of it stays that colour at any sides.
gen::PixelFunction Plain(gen::Rgba colour) {
    return [colour](unsigned, unsigned) { return colour; };
}

// Black and white columns, opaque or with transparent black between them:
// fine patterns that show how the filter mixes.
gen::Rgba Columns(unsigned x, unsigned) {
    const auto v = static_cast<std::uint8_t>(x % 2 ? 255 : 0);
    return {v, v, v, 255};
}
gen::Rgba AlphaColumns(unsigned x, unsigned) {
    return x % 2 ? gen::Rgba{255, 255, 255, 255} : gen::Rgba{0, 0, 0, 0};
}

struct FitCase {
    const char* what;
    Bytes file;
    std::uint8_t depth;  // of the stored 64x64 texture
    std::string from;
    std::uint32_t fromWidth, fromHeight;
    // Every pixel of the fitted texture, away from its edges, within 2 of
    // this (as the texture's form holds it).
    gen::Rgba inside;
};

TEST(EditorImage, FitScalesToTheStoredSidesInLinearLightKeepingAlphaApart) {
    const gen::Rgba teal{20, 160, 150, 255};
    // clang-format off
    const FitCase cases[] = {
        {"colour, larger", gen::MakePng(1000, 1000, 3, Plain(teal)), 24, "PNG", 1000, 1000, teal},
        {"colour, smaller", gen::MakeBmp(20, 20, 3, Plain(teal)), 24, "BMP", 20, 20, teal},
        {"not square to square", gen::MakePsd(100, 40, 3, Plain(teal), true), 24, "PSD", 100, 40, teal},
        {"grey", gen::MakePng(200, 96, 1, Plain({77, 0, 0, 255})), 8, "PNG", 200, 96, {77, 77, 77, 255}},
        {"opaque into alpha", gen::MakeGif(33, 33, Plain(teal)), 32, "GIF", 33, 33, teal},
        // Half the light of white, not half its value: 188, not 128.
        {"linear light", gen::MakePng(128, 64, 3, Columns), 24, "PNG", 128, 64, {188, 188, 188, 255}},
        // The colour under transparent pixels counts as much as any other
        // (weighed by alpha, this would be white); alpha is mixed as it is.
        {"alpha apart", gen::MakePng(128, 128, 4, AlphaColumns), 32, "PNG", 128, 128, {188, 188, 188, 128}},
        {"a TGA of other sides", gen::MakeTga(128, 128, 24, Plain(teal)), 24, "", 128, 128, teal},
    };
    // clang-format on
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes stored = Image(64, 64, c.depth);
        const operations::Conversion fitted = operations::ConvertToStoredForm(c.file, stored, true);
        ASSERT_EQ(fitted.outcome, operations::ConversionOutcome::Converted);
        EXPECT_EQ(fitted.from, c.from);
        EXPECT_TRUE(fitted.scaled);
        EXPECT_EQ(std::make_pair(fitted.width, fitted.height),
                  std::make_pair(c.fromWidth, c.fromHeight));
        // The stored form: image type, sides, depth and origin.
        EXPECT_EQ(fitted.image[2], stored[2]);
        EXPECT_EQ(Bytes(fitted.image.begin() + 12, fitted.image.begin() + 18),
                  Bytes(stored.begin() + 12, stored.begin() + 18));
        const format::DecodeResult decoded = format::DecodeTga(fitted.image);
        ASSERT_EQ(decoded.outcome, format::DecodeOutcome::Decoded);
        gen::Rgba inside = c.inside;
        if (c.depth == 8) inside.r = inside.g = inside.b = format::Luminance(c.inside.r, c.inside.g, c.inside.b);
        if (c.depth != 32) inside.a = 255;
        int largest = 0;
        for (unsigned y = 4; y < 60; ++y) {
            for (unsigned x = 4; x < 60; ++x) {
                const std::uint8_t* p = &decoded.image.rgba[(y * 64 + x) * 4];
                for (int i = 0; i < 4; ++i) {
                    const std::uint8_t want[4] = {inside.r, inside.g, inside.b, inside.a};
                    largest = std::max(largest, std::abs(int{p[i]} - int{want[i]}));
                }
            }
        }
        EXPECT_LE(largest, 2);
    }
    // A picture of the texture's own sides is converted, not scaled; without
    // fitting, other sides stay and must be powers of two.
    const Bytes stored = Image(64, 64, 24);
    const operations::Conversion same =
        operations::ConvertToStoredForm(gen::MakePng(64, 64, 3, Plain(teal)), stored, true);
    EXPECT_FALSE(same.scaled);
    EXPECT_EQ(operations::ConvertToStoredForm(gen::MakeJpeg(100, 64, 3, Smooth), stored).outcome,
              operations::ConversionOutcome::WrongSize);
    EXPECT_EQ(operations::ConvertToStoredForm(gen::MakeTga(64, 64, 24), stored, true).outcome,
              operations::ConversionOutcome::NotNeeded);
}

}  // namespace
}  // namespace sorrelwick::test
