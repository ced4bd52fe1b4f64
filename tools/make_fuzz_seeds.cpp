// make-fuzz-seeds: writes the seed inputs of every fuzz target into
// OUTPUT_FOLDER/<target>/, each input in the layout its target reads. The
// sets come from our generators: the demo sets with their pictures shrunk
// (so that they fit the fuzzer's input size) and small sets built to reach
// the cases the operations tell apart.

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "format/chunk.h"
#include "format/sha256.h"
#include "generators/chess_set_builder.h"
#include "generators/demo_set.h"
#include "generators/picture_builder.h"
#include "generators/png_builder.h"
#include "generators/tga_builder.h"
#include "mod/mod_writer.h"

namespace {

using namespace sorrelwick;
using Bytes = std::vector<std::uint8_t>;

void PutWord(Bytes& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t WordAt(const Bytes& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t n = 4; n-- > 0;) value = value << 8 | bytes[at + n];
    return value;
}

// The demo set with every texture image replaced by a 2x2 image of its depth.
Bytes ShrunkDemoSet(unsigned style) {
    const Bytes demo = gen::BuildDemoSet(style).bytes;
    gen::ChessSetBuilder set;
    set.Raw({demo.begin(), demo.begin() + format::kChunkHeaderSize});
    for (std::size_t at = format::kChunkHeaderSize; at + format::kChunkHeaderSize <= demo.size();) {
        const std::uint32_t kind = WordAt(demo, at), variant = WordAt(demo, at + 4);
        const std::uint32_t length = WordAt(demo, at + 8);
        const Bytes payload(demo.begin() + static_cast<std::ptrdiff_t>(at + 12),
                            demo.begin() + static_cast<std::ptrdiff_t>(at + 12 + length));
        if (kind == format::kTextureImageChunk && length > 16) {
            set.Chunk(kind, variant, gen::MakeTga(2, 2, payload[16]));
        } else {
            set.Chunk(kind, variant, payload);
        }
        at += 12 + length;
    }
    return set.Bytes();
}

// Textures named like the seeds' import file and in another letter case,
// a texture name that is not a plain file name, a nameless image, a
// trailing fragment.
Bytes TextureSet() {
    return gen::ChessSetBuilder()
        .Signature()
        .Material({1, 1}, "Wood.tga", 40, 60)
        .TextureImage(gen::MakeTga(4, 4, 24))
        .TextureReference("wood.tga")
        .TextureImage(gen::MakeTga(2, 2, 32))
        .TextureImage(gen::MakeTga(2, 2, 32, {1, 2, 3, 4}))
        .TextureReference("../up.tga")
        .TextureImage(gen::MakeTga(1, 1, 8))
        .Material({2, 2}, "", 1, 2)
        .TextureImage(gen::MakeTga(1, 1, 24))
        .Raw({1, 2, 3})
        .Bytes();
}

// Objects of every group in the style's own spelling, sharing materials.
Bytes ClassifiedSet(unsigned style) {
    static const char* const kWhite[] = {"PawnW", "R_KnightW", "<Rook>W", "<hxKingW>"};
    static const char* const kBlack[] = {"QueenB", "B_BishopB", "<bxPawn>B", "<QueenB>"};
    return gen::ChessSetBuilder()
        .Signature()
        .Material({1, 0}, "", 200, 50)
        .Material({2, 0}, "Wood.tga", 10, 255)
        .Material({3, 0}, "", 0, 0)
        .Object({10, 0}, {{1, 0}, {3, 0}})
        .ObjectName({10, 0}, kWhite[style])
        .Object({11, 0}, {{2, 0}})
        .ObjectName({11, 0}, kBlack[style])
        .Object({12, 0}, {{3, 0}, {2, 0}})
        .ObjectName({12, 0}, "SField12")
        .Object({13, 0}, {{1, 0}}, 7)
        .ObjectName({13, 0}, "Frame")
        .Bytes();
}

// A run-length image (type 10): one repeated packet, then literal pixels.
Bytes RunLengthTga(std::uint16_t width, std::uint16_t height) {
    Bytes tga = gen::MakeTga(width, height, 24);
    tga.resize(18);
    tga[2] = 10;
    const unsigned pixels = unsigned{width} * height;
    const unsigned repeated = pixels / 2 > 128 ? 128 : pixels / 2;
    tga.insert(tga.end(), {static_cast<std::uint8_t>(0x80 | (repeated - 1)), 9, 8, 7});
    for (unsigned left = pixels - repeated; left > 0;) {
        const unsigned count = left > 128 ? 128 : left;
        tga.push_back(static_cast<std::uint8_t>(count - 1));
        for (unsigned n = 0; n < count * 3; ++n) tga.push_back(static_cast<std::uint8_t>(n));
        left -= count;
    }
    return tga;
}

// A colour-mapped image (type 1) with an ID field.
Bytes ColourMappedTga() {
    Bytes tga = {4, 1, 1, 0, 0, 4, 0, 24, 0, 0, 0, 0, 4, 0, 4, 0, 8, 0};
    tga.reserve(18 + 4 + 12 + 16);
    tga.insert(tga.end(), {'s', 'o', 'r', 'l'});
    for (std::uint8_t n = 0; n < 12; ++n) tga.push_back(static_cast<std::uint8_t>(n * 20));
    for (std::uint8_t n = 0; n < 16; ++n) tga.push_back(n % 4);
    return tga;
}

Bytes Cut(Bytes bytes, std::size_t keep) {
    bytes.resize(keep);
    return bytes;
}

std::vector<Bytes> Images() {
    const Bytes rle = RunLengthTga(8, 8);
    return {gen::MakeTga(4, 4, 24),          gen::MakeTga(8, 8, 24),
            gen::MakeTga(4, 4, 32),          gen::MakeTga(2, 2, 8),
            Cut(gen::MakeTga(4, 4, 24), 40), rle,
            Cut(rle, rle.size() - 5),        ColourMappedTga(),
            gen::MakeTga(3, 4, 24)};
}

std::vector<Bytes> Sets() {
    std::vector<Bytes> sets = {TextureSet(), Cut(TextureSet(), 70)};
    for (unsigned style = 0; style < gen::kDemoStyleCount; ++style) {
        sets.push_back(ShrunkDemoSet(style));
        sets.push_back(ClassifiedSet(style));
    }
    return sets;
}

// Replacement: a 4-byte length, the set, the image. Comparison: the
// length, the set, the other set.
Bytes LengthPrefixed(const Bytes& set, const Bytes& image) {
    Bytes input;
    input.reserve(4 + set.size() + image.size());
    PutWord(input, static_cast<std::uint32_t>(set.size()));
    input.insert(input.end(), set.begin(), set.end());
    input.insert(input.end(), image.begin(), image.end());
    return input;
}

// Specularity: the naming style, six percents, the set.
Bytes StyleAndPercents(unsigned style, std::uint32_t percent, const Bytes& set) {
    Bytes input = {static_cast<std::uint8_t>(style)};
    input.reserve(1 + 24 + set.size());
    const std::uint32_t percents[] = {percent, 100, 0, percent * 3, 50, 4294967295u};
    for (std::uint32_t value : percents) PutWord(input, value);
    input.insert(input.end(), set.begin(), set.end());
    return input;
}

// Comparison: a set and the same set with one thing changed.
std::vector<Bytes> SetPairs() {
    std::vector<Bytes> seeds;
    const Bytes texture = TextureSet();
    Bytes repainted = texture;
    repainted[repainted.size() - 4] ^= 0x55;  // a pixel of the last image
    Bytes rescaled = ClassifiedSet(0);
    rescaled[12 + 12 + 17] = 99;  // the first material's shininess
    for (const auto& [a, b] :
         std::vector<std::pair<Bytes, Bytes>>{{texture, texture},
                                              {texture, repainted},
                                              {ClassifiedSet(0), rescaled},
                                              {ShrunkDemoSet(1), ShrunkDemoSet(1)},
                                              {ShrunkDemoSet(2), ClassifiedSet(2)},
                                              {texture, Cut(texture, 70)}}) {
        seeds.push_back(LengthPrefixed(a, b));
    }
    return seeds;
}

// Mods: a set with a texture and a material, and mods for it: one that
// changes both, one whose texture the set lacks, one made for another base.
std::vector<Bytes> SetAndMods() {
    const Bytes wood = gen::MakeTga(2, 2, 24);
    const Bytes painted = gen::MakeTga(2, 2, 24, {200, 20, 20, 255});
    const Bytes set = gen::ChessSetBuilder()
                          .Signature()
                          .Material({10, 1}, "wood.tga", 10, 40)
                          .TextureReference("wood.tga")
                          .TextureImage(wood)
                          .Bytes();
    const auto hex = [](const Bytes& bytes) { return format::HexOf(format::Sha256Of(bytes)); };
    mod::ModManifest manifest;
    manifest.base = {"set.DAT", set.size(), hex(set)};
    manifest.textures.push_back({"wood.tga", 1, hex(wood), hex(painted),
                                 static_cast<std::uint32_t>(painted.size()),
                                 "textures/001-wood.tga"});
    manifest.materials.push_back(
        {{10, 1}, 1, specular::SpecularClass::None, {40, 10}, {80, 20}});
    const std::string page = "<!DOCTYPE html><title>mod</title>";
    const Bytes pageBytes(page.begin(), page.end());
    std::vector<Bytes> seeds;
    seeds.push_back(LengthPrefixed(set, mod::ModArchive(manifest, pageBytes, {painted})));
    manifest.textures[0].name = "felt.tga";
    seeds.push_back(LengthPrefixed(set, mod::ModArchive(manifest, pageBytes, {painted})));
    manifest.textures[0].baseSha256 = hex(painted);
    manifest.materials[0].base = {1, 2};
    seeds.push_back(LengthPrefixed(set, mod::ModArchive(manifest, pageBytes, {painted})));
    return seeds;
}

std::vector<Bytes> SeedsFor(const std::string& target) {
    if (target == "mod") return SetAndMods();
    if (target == "diff") return SetPairs();
    if (target == "png_decode") return gen::SamplePngs();
    if (target == "picture_decode") return gen::SamplePictures();
    if (target == "image_completeness" || target == "tga_decode") return Images();
    if (target == "texture_picture") {
        std::vector<Bytes> images = Images();
        images.push_back(gen::MakeTga(0, 64, 24));
        images.push_back(gen::MakeTga(0, 0, 32));
        return images;
    }
    if (target == "listing" || target == "extraction") return Sets();
    std::vector<Bytes> seeds;
    const std::vector<Bytes> sets = Sets();
    for (std::size_t n = 0; n < sets.size(); ++n) {
        if (target == "specularity") {
            seeds.push_back(StyleAndPercents(static_cast<unsigned>(n % 4),
                                             25 * static_cast<std::uint32_t>(n), sets[n]));
        }
    }
    if (target == "replacement") {
        for (const Bytes& image : Images()) seeds.push_back(LengthPrefixed(TextureSet(), image));
        seeds.push_back(LengthPrefixed(ShrunkDemoSet(0), gen::MakeTga(2, 2, 24)));
    }
    return seeds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-fuzz-seeds OUTPUT_FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    for (const char* target : {"listing", "specularity", "replacement", "extraction",
                               "image_completeness", "tga_decode", "png_decode", "picture_decode",
                               "diff", "mod", "texture_picture"}) {
        std::filesystem::create_directories(folder / target);
        const std::vector<Bytes> seeds = SeedsFor(target);
        for (std::size_t n = 0; n < seeds.size(); ++n) {
            const std::string path = (folder / target / ("seed-" + std::to_string(n))).string();
            if (!gen::WriteWholeFile(path, seeds[n])) {
                std::cerr << "make-fuzz-seeds: could not write " << path << "\n";
                return 1;
            }
        }
    }
    return 0;
}
