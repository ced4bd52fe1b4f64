// Writes a small chess set and mods made to break a mod reader, and a set
// whose textures have headers no picture can be drawn from, for the checks
// of the mod reader and of the pictures by hand (scripts/hostile-mods.sh):
//   set.DAT           wood.tga 8x8 24 bits, marble.tga 4x4 32, felt.tga 16x16 24
//   pictures.DAT      textures of 0x0, 0x64 and 17 bytes declaring 20053x19019
//   deep.zip          a manifest nested 200,000 arrays deep
//   wide.zip          a manifest of 118,000 keys and nothing else
//   overlapping.zip   every entry's name leading to the first entry's bytes
//   many.zip          a manifest of almost 1 MiB naming 3,400 textures the
//                     archive does not hold
//   depth8.zip, size3x5.zip, size0x0.zip, junk17.zip
//                     wood.tga replaced by an image apply must refuse: 8 bits
//                     where the set stores 24, 3x5, 0x0, 17 junk bytes

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "format/byte_fields.h"
#include "format/sha256.h"
#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"
#include "mod/mod_writer.h"
#include "mod/zip_archive.h"

using namespace sorrelwick;
using Bytes = std::vector<std::uint8_t>;

namespace {

const Bytes kWood = gen::MakeTga(8, 8, 24, {120, 80, 40, 255});

Bytes BaseSet() {
    return gen::ChessSetBuilder()
        .Signature()
        .TextureReference("wood.tga")
        .TextureImage(kWood)
        .TextureReference("marble.tga")
        .TextureImage(gen::MakeTga(4, 4, 32))
        .TextureReference("felt.tga")
        .TextureImage(gen::MakeTga(16, 16, 24))
        .Bytes();
}

// 17 bytes whose header fields read as 20053x19019, 85 bits.
Bytes JunkImage() {
    Bytes junk(17, 0x5a);
    format::PutU32At(junk, 12, 20053 | 19019u << 16);
    junk[16] = 85;
    return junk;
}

Bytes PicturesSet() {
    return gen::ChessSetBuilder()
        .Signature()
        .TextureReference("zero.tga")
        .TextureImage(gen::MakeTga(0, 0, 24))
        .TextureReference("thin.tga")
        .TextureImage(gen::MakeTga(0, 64, 24))
        .TextureReference("junk.tga")
        .TextureImage(JunkImage())
        .Bytes();
}

// A mod made on BaseSet() that puts `image` in place of the wood.
mod::ModManifest WoodManifest(const Bytes& image) {
    const Bytes set = BaseSet();
    mod::ModManifest manifest;
    manifest.tool = "make-hostile-mods";
    manifest.base = {"set.DAT", set.size(), format::HexOf(format::Sha256Of(set))};
    manifest.textures.push_back({.name = "wood.tga",
                                 .occurrence = 1,
                                 .baseSha256 = format::HexOf(format::Sha256Of(kWood)),
                                 .newSha256 = format::HexOf(format::Sha256Of(image)),
                                 .size = static_cast<std::uint32_t>(image.size()),
                                 .entry = "textures/001-wood.tga"});
    return manifest;
}

Bytes WoodMod(const Bytes& image) {
    return mod::ModArchive(WoodManifest(image), {}, {image});
}

// A zip of `json` as the manifest and the wood's image.
Bytes WithManifestText(const std::string& json) {
    mod::ZipWriter zip;
    zip.Add("mod.json", {reinterpret_cast<const std::uint8_t*>(json.data()), json.size()});
    zip.Add("textures/001-wood.tga", kWood);
    return zip.Finish();
}

Bytes DeepMod() {
    std::string json = mod::ManifestJson(WoodManifest(kWood));
    json.insert(1, "\"x\": " + std::string(200000, '[') + std::string(200000, ']') + ",");
    return WithManifestText(json);
}

Bytes WideMod() {
    const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";
    std::string json = "{";
    for (std::size_t i = 0; i < 118000; ++i) {
        json += (i == 0 ? "\"" : ",\"") + std::string{letters[i % 64]} + letters[i / 64 % 64] +
                letters[i / 4096] + "\":0";
    }
    return WithManifestText(json + "}");
}

Bytes ManyPiecesMod() {
    mod::ModManifest manifest = WoodManifest(kWood);
    const mod::ModTexture wood = manifest.textures.front();
    for (int i = 1; i < 3400; ++i) {
        mod::ModTexture texture = wood;
        texture.name = "texture" + std::to_string(i) + ".tga";
        texture.entry = "textures/" + std::to_string(i) + ".tga";
        manifest.textures.push_back(texture);
    }
    return WithManifestText(mod::ManifestJson(manifest));
}

// Every central-directory entry's local header offset set to 0.
Bytes OverlappingMod() {
    Bytes archive = WoodMod(gen::MakeTga(8, 8, 24, {10, 200, 10, 255}));
    for (std::size_t at = 0; at + 46 <= archive.size(); ++at) {
        if (archive[at] == 0x50 && archive[at + 1] == 0x4b && archive[at + 2] == 1 &&
            archive[at + 3] == 2) {
            format::PutU32At(archive, at + 42, 0);
        }
    }
    return archive;
}

bool Write(const std::filesystem::path& path, const Bytes& bytes) {
    if (gen::WriteWholeFile(path.string(), bytes)) return true;
    std::cerr << "make-hostile-mods: could not write " << path.string() << "\n";
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-hostile-mods OUTPUT_FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const std::pair<const char*, Bytes> files[] = {
        {"set.DAT", BaseSet()},
        {"pictures.DAT", PicturesSet()},
        {"deep.zip", DeepMod()},
        {"wide.zip", WideMod()},
        {"overlapping.zip", OverlappingMod()},
        {"many.zip", ManyPiecesMod()},
        {"depth8.zip", WoodMod(gen::MakeTga(8, 8, 8))},
        {"size3x5.zip", WoodMod(gen::MakeTga(3, 5, 24))},
        {"size0x0.zip", WoodMod(gen::MakeTga(0, 0, 24))},
        {"junk17.zip", WoodMod(JunkImage())},
    };
    for (const auto& [name, bytes] : files) {
        if (!Write(folder / name, bytes)) return 1;
    }
    return 0;
}
