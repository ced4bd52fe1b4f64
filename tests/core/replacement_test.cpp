// Texture replacement: the per-texture outcomes, the leftover report, and the
// new set and backup it leaves; failures end in the restore.

#include "operations/replacement.h"

#include <algorithm>
#include <optional>
#include <span>

#include "format/tga_image.h"
#include "generators/picture_builder.h"
#include "generators/png_builder.h"
#include "operations/extraction.h"
#include "report/lines.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

const std::string kTaken = "Import successful";
const std::string kNotFound = "Import failed: file not found";
const std::string kNotRead = "Import failed: error reading file";

// A 64x64 image of `layout`, followed by `extra` bytes.
Bytes Built(std::uint8_t type, std::uint8_t depth, const std::string& id = "",
            std::size_t extra = 0) {
    const gen::TgaLayout layout{.imageType = type, .depth = depth, .id = id};
    Bytes file = gen::BuildTga(layout, 64, 64, [](unsigned x, unsigned y) {
                     return gen::Rgba{static_cast<std::uint8_t>(x / 8 * 30), 90,
                                      static_cast<std::uint8_t>(y / 16 * 60), 255};
                 }).file;
    file.resize(file.size() + extra, 0xEE);
    return file;
}

// The columns show the texture as stored.
std::string Info(const std::string& name, const Bytes& stored, std::string_view outcome) {
    return report::TextureInfoLine(name, static_cast<std::uint16_t>(stored[12] | stored[13] << 8),
                                   static_cast<std::uint16_t>(stored[14] | stored[15] << 8),
                                   stored[16], outcome);
}

std::string Named(const std::string& name, std::string_view message) {
    return report::NameMessageLine(name, message);
}

struct ConvertCase {
    std::string texture;
    std::uint8_t depth;
    std::string fileName;
    Bytes file;
    std::string outcome;
    std::optional<Bytes> expected = std::nullopt;
};

class ReplaceTest : public SetFixture {
protected:
    void AddFile(const std::string& name, const Bytes& bytes) const {
        ASSERT_TRUE(gen::WriteWholeFile(platform::JoinPath(tex, name), bytes));
    }
    bool Replace(bool convert = false) {
        log = {};
        return operations::ReplaceTextures(state, tex, &log, {convert});
    }
    FolderContents Rewritten(const Bytes& backup, const Bytes& set) const {
        return {{"set1.000", backup}, {"set1.DAT", set}, {"tex/", {}}};
    }
    FolderContents Restored(const Bytes& set) const { return {{"set1.DAT", set}, {"tex/", {}}}; }
    Lines Report(const Lines& body) const {
        return Framed("Importing textures from " + tex + " into set1.DAT", body);
    }
    // The leftover lines of the folder's .tga entries not in `met`: the
    // reverse of the directory search's order.
    Lines Leftovers(const Lines& met) const {
        platform::ExtensionSearch search(tex, ".tga");
        Lines lines;
        for (std::string name; search.Next(name);) {
            if (std::find(met.begin(), met.end(), name) != met.end()) continue;
            lines.insert(lines.begin(), Named(name, "Import failed: file not part of set1.DAT"));
        }
        return lines;
    }

    // A set of the cases' textures with each case's file beside it, replaced
    // with or without conversion: the report holds each case's line, then
    // `more`; the new set holds each texture in its stored form with the
    // expected pixels, the file itself where it was taken as it is, or the
    // texture as before.
    void ExpectConverted(std::span<const ConvertCase> cases, bool convert, const Lines& more) {
        std::vector<Texture> before;
        Lines body;
        for (const ConvertCase& c : cases) {
            AddFile(c.fileName, c.file);
            before.push_back({c.texture, Image(64, 64, c.depth)});
            body.push_back(c.outcome == kNotRead ? Named(c.texture, c.outcome)
                                                 : Info(c.texture, before.back().image, c.outcome));
        }
        body.insert(body.end(), more.begin(), more.end());
        body.push_back(kRenamed);
        Write(SetOf(before).Bytes());

        EXPECT_TRUE(Replace(convert));
        EXPECT_EQ(log.Lines(), Report(body));
        // Each texture as the new set holds it, its name being unique.
        const std::string out = Folder("out");
        ASSERT_TRUE(operations::ExtractTextures(state, out, &log));
        FolderContents images = FilesIn(out);
        ASSERT_EQ(images.size(), cases.size());
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const ConvertCase& c = cases[i];
            SCOPED_TRACE(c.texture);
            const Bytes& image = images[c.texture];
            if (!c.expected || c.outcome == kTaken) {
                EXPECT_EQ(image, c.expected ? c.file : before[i].image);
                continue;
            }
            // The stored form: image type, depth, origin.
            EXPECT_EQ(image[2], before[i].image[2]);
            EXPECT_EQ(Bytes(image.begin() + 16, image.begin() + 18),
                      Bytes(before[i].image.begin() + 16, before[i].image.begin() + 18));
            const format::DecodeResult decoded = format::DecodeTga(image);
            EXPECT_EQ(decoded.outcome, format::DecodeOutcome::Decoded);
            EXPECT_EQ(decoded.image.rgba, *c.expected);
        }
    }

    std::string tex = Folder("tex");
};

// One set with one texture per case, so one run shows every outcome in file
// order. The folder holds `file` under `fileName`; an outcome that begins
// with kTaken takes the file into the set.
struct OutcomeCase {
    std::string texture;
    std::optional<Bytes> file;
    std::optional<std::string> outcome;  // nullopt: the texture adds no line
    std::string fileName = {};           // empty: the texture's name
    Bytes stored = Image(64, 64, 24);
};

std::vector<OutcomeCase> OutcomeCases() {
    const Bytes grey = Image(64, 64, 8);
    Bytes type32 = Head(Image(64, 64, 24), 17);
    type32[2] = 32;
    const std::string deep = "Import failed: wrong color depth (32 bits)";
    // clang-format off
    std::vector<OutcomeCase> cases = {
        {"same.tga", Image(64, 64, 24, 1), kTaken},
        {"other.tga", Image(32, 128, 24, 2), kTaken + ": size modified (to 32x128)"},
        {"deep.tga", Image(64, 64, 32), deep},
        // Wrong depth is reported before wrong size.
        {"both.tga", Image(100, 64, 32), deep},
        {"w100.tga", Image(100, 64, 24), "Import failed: wrong size (100x64)"},
        {"h96.tga", Image(64, 96, 24), "Import failed: wrong size (64x96)"},
        {"w0.tga", Image(0, 64, 24), "Import failed: wrong size (0x64)"},
        {"empty.tga", Bytes{}, kNotRead},
        {"short.tga", Head(Image(64, 64, 24), 16), kNotRead},
        // Only an image holding every byte its header declares is taken;
        // bytes after it are fine, and other image types are not checked.
        {"header.tga", Head(Image(64, 64, 24), 17), kNotRead},
        {"cut.tga", Cut(Built(2, 24), 1), kNotRead},
        {"footer.tga", Built(2, 24, "", 26), kTaken},
        {"id.tga", Built(2, 24, "an ID field"), kTaken},
        {"idcut.tga", Cut(Built(2, 24, "an ID field"), 1), kNotRead},
        {"rle.tga", Built(10, 24), kTaken},
        {"rlecut.tga", Cut(Built(10, 24), 1), kNotRead},
        {"map.tga", Built(1, 8), kTaken, "", grey},
        {"mapcut.tga", Cut(Built(1, 8), 1), kNotRead, "", grey},
        {"rlemap.tga", Built(9, 8, "id", 3), kTaken, "", grey},
        {"rlegrey.tga", Cut(Built(11, 8), 2), kNotRead, "", grey},
        {"type32.tga", type32, kTaken},
        {"missing.tga", std::nullopt, kNotFound},
        {"wood.tga", Image(64, 64, 24, 3), kTaken, "WOOD.TGA"},
        // Every texture of a name finds the file that matches it by letter case.
        {"dup.tga", Image(64, 64, 24, 8), kTaken, "DUP.TGA"},
        {"dup.tga", Image(64, 64, 24, 8), kTaken, "DUP.TGA"},
        // A folder of the texture's name: listed, so it leaves the inventory;
        // it is there, so the system says why it can't be opened.
        {"dir.tga", std::nullopt, Because(kNotFound, Why::IsFolder)},
        {"plain.bmp", Image(64, 64, 24, 4), kTaken},
        // A name that is not a plain file name is never used as a path.
        {"sub/deep.tga", std::nullopt, kNotFound},
        {"bell\a.tga", std::nullopt, kNotFound},
        {"what?.tga", std::nullopt, kNotFound},
        // Too short to be an image, or empty: not a texture, and its file stays.
        {"tiny.tga", Image(64, 64, 24), std::nullopt, "", Bytes(10, 7)},
        {"none.tga", Image(64, 64, 24), std::nullopt, "", Bytes{}},
    };
    // clang-format on
#ifndef _WIN32
    // Windows can't hold these files; elsewhere they show that the name
    // leaves the inventory before it is refused as a path.
    cases.push_back({"con.tga", Image(64, 64, 24), kNotFound});
    cases.push_back({"line\nfeed.tga", Image(64, 64, 24), kNotFound});
#endif
    return cases;
}

TEST_F(ReplaceTest, EachTextureGetsItsOutcomeAndOnlyTakenFilesChangeTheSet) {
    std::vector<Texture> before, after;
    Lines body, met;
    for (OutcomeCase c : OutcomeCases()) {
        if (c.fileName.empty()) c.fileName = c.texture;
        if (c.file) AddFile(c.fileName, *c.file);
        const bool taken = c.outcome && c.outcome->starts_with(kTaken);
        before.push_back({c.texture, c.stored});
        after.push_back({c.texture, taken ? *c.file : c.stored});
        if (!c.outcome) continue;
        // A file that can't be read gives the name alone; the others the
        // stored texture's columns.
        const bool unread = c.outcome->starts_with(kNotFound) || c.outcome == kNotRead;
        body.push_back(unread ? Named(c.texture, *c.outcome)
                              : Info(c.texture, c.stored, *c.outcome));
        met.push_back(c.fileName);
    }
    Folder("tex/sub");
    AddFile("sub/deep.tga", Image(64, 64, 24, 5));
    Folder("tex/dir.tga");
    Folder("tex/old.tga");                  // a folder is a leftover like any file
    AddFile("notes.txt", Image(8, 8, 24));  // no image: not reported
    const Lines leftovers = Leftovers(met);
    ASSERT_EQ(leftovers.size(), 3u);
    body.insert(body.end(), leftovers.begin(), leftovers.end());
    body.push_back(kRenamed);
    Write(SetOf(before).Bytes());

    EXPECT_TRUE(Replace());
    EXPECT_EQ(log.Lines(), Report(body));
    EXPECT_EQ(Files(), Rewritten(SetOf(before).Bytes(), SetOf(after).Bytes()));
}

// A picture with every channel varying, alpha included.
gen::Rgba Picture(unsigned x, unsigned y) {
    return {static_cast<std::uint8_t>(x * 37), static_cast<std::uint8_t>(y * 23),
            static_cast<std::uint8_t>((x + y) * 11), static_cast<std::uint8_t>(255 - x * y)};
}

// Pixels that hardly compress: a PNG of them holds more data than its sides.
gen::Rgba Noise(unsigned x, unsigned y) {
    const std::uint32_t v = (x * 2654435761u) ^ (y * 40503u + 0x9E3779B9u) * 2246822519u;
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

// Squares of one colour each: compresses as a painted texture does.
gen::Rgba Tiles(unsigned x, unsigned y) {
    const auto tile = static_cast<std::uint8_t>((x / 32) * 16 + y / 32);
    return {tile, static_cast<std::uint8_t>(255 - tile), 90, static_cast<std::uint8_t>(tile | 1)};
}

// The RGBA pixels of `pixel` as a texture of `depth` holds them: 24 bits drop
// the alpha, 8-bit grey takes 299 R + 587 G + 114 B per mille, rounded.
Bytes PixelsAt(std::uint16_t width, std::uint16_t height, std::uint8_t depth,
               const gen::PixelFunction& pixel = Picture) {
    Bytes rgba;
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            gen::Rgba p = pixel(x, y);
            if (depth == 8) {
                p.r = p.g = p.b =
                    static_cast<std::uint8_t>((299 * p.r + 587 * p.g + 114 * p.b + 500) / 1000);
            }
            if (depth != 32) p.a = 255;
            rgba.insert(rgba.end(), {p.r, p.g, p.b, p.a});
        }
    }
    return rgba;
}

// With conversion: one texture per case, stored 64x64 with `depth` bits;
// `expected` is what its new image decodes to, or nullopt when the chunk
// stays.


TEST_F(ReplaceTest, ConvertTakesPngAndOtherDepthsInTheStoredForm) {
    const auto tga = [](std::uint8_t depth) { return gen::MakeTga(64, 64, depth, Picture); };
    const auto png = [](std::uint32_t w, std::uint32_t h, int channels) {
        return gen::MakePng(w, h, channels, Picture);
    };
    const std::string from24 = kTaken + ": converted from 24 bits";
    const std::string fromPng = kTaken + ": converted from PNG";
    const Bytes rgb = PixelsAt(64, 64, 24);
    // clang-format off
    const ConvertCase cases[] = {
        {"t32.tga", 32, "t32.tga", tga(24), from24, rgb},
        {"t24.tga", 24, "t24.tga", tga(32), kTaken + ": converted from 32 bits", rgb},
        {"grey.tga", 8, "grey.tga", tga(24), from24, PixelsAt(64, 64, 8)},
        {"rgb24.tga", 24, "rgb24.png", png(64, 64, 3), fromPng, rgb},
        {"rgba24.tga", 24, "rgba24.png", png(64, 64, 4), fromPng, rgb},
        {"rgb32.tga", 32, "RGB32.PNG", png(64, 64, 3), fromPng, rgb},
        {"rgba32.tga", 32, "rgba32.png", png(32, 128, 4), fromPng + ", size modified (to 32x128)",
         PixelsAt(32, 128, 32)},
        {"noise.tga", 32, "noise.png", gen::MakePng(64, 64, 4, Noise), fromPng,
         PixelsAt(64, 64, 32, Noise)},
        {"npot.tga", 32, "npot.png", png(100, 64, 4), "Import failed: wrong size (100x64)"},
        {"zero.tga", 32, "zero.tga", gen::MakeTga(0, 64, 24, Picture), "Import failed: wrong size (0x64)"},
        // Interlaced and well compressed: the passes inflate to more than
        // the rows of a plain image, in a buffer that doubles as it grows.
        {"i256.tga", 24, "i256.png", gen::MakeInterlacedPng(256, 256, 3, Tiles),
         fromPng + ", size modified (to 256x256)", PixelsAt(256, 256, 24, Tiles)},
        {"i256a.tga", 32, "i256a.png", gen::MakeInterlacedPng(256, 256, 4, Tiles),
         fromPng + ", size modified (to 256x256)", PixelsAt(256, 256, 32, Tiles)},
        {"i512.tga", 24, "i512.png", gen::MakeInterlacedPng(512, 512, 3, Tiles),
         fromPng + ", size modified (to 512x512)", PixelsAt(512, 512, 24, Tiles)},
        {"i512a.tga", 32, "i512a.png", gen::MakeInterlacedPng(512, 512, 4, Tiles),
         fromPng + ", size modified (to 512x512)", PixelsAt(512, 512, 32, Tiles)},
        {"bad.tga", 32, "bad.png", Head(png(64, 64, 3), 60), kNotRead},
        // The .tga beside a .png of the same stem wins, taken as it is.
        {"both.tga", 24, "both.tga", tga(24), kTaken, rgb},
    };
    // clang-format on
    AddFile("both.png", png(64, 64, 4));
    AddFile("extra.png", png(8, 8, 3));
    ExpectConverted(cases, true, {Named("extra.png", "Import failed: file not part of set1.DAT")});
}

// Without conversion a PNG is still never taken as it is: one of the
// texture's depth is converted, as only its container differs; one of
// another depth (and a TGA of another depth) is refused with its line.
TEST_F(ReplaceTest, WithoutConvertAPngOfTheStoredDepthIsConvertedAndNoOtherIs) {
    const auto png = [](int channels) { return gen::MakePng(64, 64, channels, Picture); };
    const std::string fromPng = kTaken + ": converted from PNG";
    const auto needsBox = [](int depth) {
        return "Import failed: PNG of " + std::to_string(depth) +
               " bits; its depth is converted only with Convert on import (--convert)";
    };
    // clang-format off
    const ConvertCase cases[] = {
        {"rgb24.tga", 24, "rgb24.tga", png(3), fromPng, PixelsAt(64, 64, 24)},
        {"rgba32.tga", 32, "rgba32.tga", png(4), fromPng, PixelsAt(64, 64, 32)},
        // A grey PNG holds the picture's red values.
        {"grey8.tga", 8, "grey8.tga", png(1), fromPng, PixelsAt(64, 64, 8, [](unsigned x, unsigned y) {
             const std::uint8_t red = Picture(x, y).r;
             return gen::Rgba{red, red, red, 255};
         })},
        {"rgba24.tga", 24, "rgba24.tga", png(4), needsBox(32)},
        {"rgb32.tga", 32, "rgb32.tga", png(3), needsBox(24)},
        {"ga32.tga", 32, "ga32.tga", png(2), needsBox(16)},
        {"cut.tga", 24, "cut.tga", Head(png(3), 60), kNotRead},
        {"t32.tga", 32, "t32.tga", gen::MakeTga(64, 64, 24, Picture),
         "Import failed: wrong color depth (24 bits)"},
    };
    // clang-format on
    ExpectConverted(cases, false, {});
}

// Every format an editor saves stands for a texture whose .tga is missing;
// of two pictures the first in the order of formats is taken and named,
// the other is a leftover. Other sides are refused, or fitted when asked.
TEST_F(ReplaceTest, ConvertTakesEveryEditorFormatAndFitScalesOtherSides) {
    const auto plain = [](unsigned, unsigned) { return gen::Rgba{30, 140, 210, 255}; };
    const std::string fromThe = kTaken + ": converted from ";
    const struct {
        std::string texture;
        std::uint8_t depth;
        std::string fileName;
        Bytes file;
        std::string outcome, fitted;  // without and with --fit
    } cases[] = {
        {"b.tga", 24, "b.bmp", gen::MakeBmp(64, 64, 3, plain), fromThe + "BMP", fromThe + "BMP"},
        {"j.tga", 24, "J.JPG", gen::MakeJpeg(64, 64, 3, plain), fromThe + "JPEG", fromThe + "JPEG"},
        {"jj.tga", 24, "jj.jpeg", gen::MakeJpeg(64, 64, 3, plain), fromThe + "JPEG", fromThe + "JPEG"},
        {"p.tga", 32, "p.psd", gen::MakePsd(64, 64, 4, plain, true), fromThe + "PSD", fromThe + "PSD"},
        {"g.tga", 24, "g.gif", gen::MakeGif(64, 64, plain), fromThe + "GIF", fromThe + "GIF"},
        {"two.tga", 24, "two.png", gen::MakePng(64, 64, 3, plain), fromThe + "PNG (two.png)",
         fromThe + "PNG (two.png)"},
        {"cut.tga", 24, "cut.jpg", Cut(gen::MakeJpeg(64, 64, 3, plain), 2), kNotRead, kNotRead},
        {"big.tga", 24, "big.bmp", gen::MakeBmp(100, 100, 3, plain),
         "Import failed: wrong size (100x100)", fromThe + "BMP, scaled from 100x100"},
        {"small.tga", 32, "small.psd", gen::MakePsd(20, 36, 3, plain, false),
         "Import failed: wrong size (20x36)", fromThe + "PSD, scaled from 20x36"},
        {"own.tga", 24, "own.tga", gen::MakeTga(32, 32, 24, plain),
         kTaken + ": size modified (to 32x32)", kTaken + ": scaled from 32x32"},
    };
    AddFile("two.jpg", gen::MakeJpeg(64, 64, 3, plain));
    AddFile("own.jpg", gen::MakeJpeg(64, 64, 3, plain));  // beside its .tga: no leftover
    std::vector<Texture> textures;
    for (const auto& c : cases) {
        AddFile(c.fileName, c.file);
        textures.push_back({c.texture, Image(64, 64, c.depth)});
    }
    for (const bool fit : {false, true}) {
        SCOPED_TRACE(fit ? "fitted" : "as they are");
        std::filesystem::remove(dir.File("set1.000"));
        Write(SetOf(textures).Bytes());
        Lines body;
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const std::string& outcome = fit ? cases[i].fitted : cases[i].outcome;
            body.push_back(outcome == kNotRead ? Named(cases[i].texture, outcome)
                                               : Info(cases[i].texture, textures[i].image, outcome));
        }
        body.push_back(Named("two.jpg", "Import failed: file not part of set1.DAT"));
        body.push_back(kRenamed);
        log = {};
        EXPECT_TRUE(operations::ReplaceTextures(state, tex, &log, {.convert = !fit, .fit = fit}));
        EXPECT_EQ(log.Lines(), Report(body));
    }
}

TEST_F(ReplaceTest, GuardsAddTheirOneLineAndTouchNothing) {
    const Bytes original = SetOf({{"wood.tga", Image(16, 16, 24)}}).Bytes();
    Write(original);
    AddFile("wood.tga", Image(32, 32, 24));
    EXPECT_FALSE(operations::ReplaceTextures(state, tex, nullptr));
    EXPECT_FALSE(operations::ReplaceTextures(state, "", &log));
    EXPECT_FALSE(operations::ReplaceTextures(ToolState{}, tex, &log));
    EXPECT_EQ(log.Lines(),
              Lines({"Error - Invalid import path", "Error - Invalid load/save path"}));
    EXPECT_EQ(Files(), Restored(original));
}

// Failures through the fault seam. The set holds wood.tga, then marble.tga.
TEST_F(ReplaceTest, FailuresEndInTheRestoreAndPerTextureFaultsOnlyInTheirLine) {
    const Bytes wood = Image(16, 16, 24), marble = Image(16, 16, 24, 6),
                newWood = Image(16, 16, 24, 7);
    const Bytes original = SetOf({{"wood.tga", wood}, {"marble.tga", marble}}).Bytes();
    const std::string marbleOk = Info("marble.tga", marble, kTaken);
    struct Case {
        const char* what;
        FaultPlan plan;
        Lines body;  // ending in an error, the replacement fails
    };
    // clang-format off
    const Case cases[] = {
        // The texture files' closes come before those of the set's two files.
        {"texture file not closed", Armed(Operation::Close, 1, Why::DiskFull),
         {marbleOk, "Error - Could not close wood.tga", ReasonLine(Why::DiskFull)}},
        // Writes: signature header, reference header and payload, image header.
        {"imported chunk not written", Armed(Operation::Write, 4, Why::DiskFull),
         {marbleOk, kCouldNotWrite, ReasonLine(Why::DiskFull)}},
        // Opens: backup, new file, wood.tga.
        {"texture file not opened", {Operation::Open, 3}, {Named("wood.tga", kNotFound), marbleOk}},
        {"texture file held open elsewhere", Armed(Operation::Open, 3, Why::InUse),
         {Named("wood.tga", Because(kNotFound, Why::InUse)), marbleOk}},
        // Reads: signature; reference header, payload; image header, payload.
        {"texture file not read", Armed(Operation::Read, 6, Why::AccessDenied),
         {Named("wood.tga", Because(kNotRead, Why::AccessDenied)), marbleOk}},
        // Four inventory entries, the reference and image payloads, the file's image.
        {"no memory for the file image", {Operation::Allocate, 7},
         {Named("wood.tga", "Import failed: not enough memory"), marbleOk}},
    };
    // clang-format on
    AddFile("wood.tga", newWood);
    AddFile("marble.tga", marble);
    AddFile("notes.tga", wood);
    AddFile("extra.tga", wood);
    const Lines leftovers = Leftovers({"wood.tga", "marble.tga"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(dir.File("set1.000"));
        Write(original);
        const bool succeeds =
            std::none_of(c.body.begin(), c.body.end(),
                         [](const std::string& line) { return line.starts_with("Error - "); });
        Lines body = c.body;
        body.insert(body.end(), leftovers.begin(), leftovers.end());
        if (succeeds) body.push_back(kRenamed);
        EXPECT_EQ(RunArmed(c.plan, [&] { return Replace(); }), std::make_pair(succeeds, true));
        EXPECT_EQ(log.Lines(), Report(body));
        // marble.tga's file holds its bytes: a success rewrites the set unchanged.
        EXPECT_EQ(Files(), succeeds ? Rewritten(original, original) : Restored(original));
    }

    // The second of the folder's four entries can't be had: the inventory
    // reports the one it holds, the first the search finds.
    std::filesystem::remove(dir.File("set1.000"));
    Write(original);
    EXPECT_EQ(RunArmed({Operation::Allocate, 2}, [&] { return Replace(); }),
              std::pair(false, true));
    EXPECT_EQ(log.Lines(), Report({kNoMemory, Leftovers({}).back()}));
    EXPECT_EQ(Files(), Restored(original));
}

}  // namespace
}  // namespace sorrelwick::test
