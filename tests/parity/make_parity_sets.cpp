// make-parity-sets FOLDER: writes chess sets whose listings cover the column
// rules, odd names and every failure a listing can report without a fault
// injected, so that the Windows build of sorrelwick-cli can be compared with
// the native one line for line.

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "format/chunk.h"
#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"

namespace {

using sorrelwick::gen::ChessSetBuilder;
using sorrelwick::gen::ChunkKey;
using sorrelwick::gen::MakeTga;

// A TGA header claiming any size, without the pixels such a size would need.
std::vector<std::uint8_t> HeaderOnlyTga(std::uint16_t width, std::uint16_t height,
                                        std::uint8_t depth) {
    std::vector<std::uint8_t> tga = MakeTga(1, 1, depth);
    tga.resize(18);
    tga[12] = static_cast<std::uint8_t>(width & 0xFF);
    tga[13] = static_cast<std::uint8_t>(width >> 8);
    tga[14] = static_cast<std::uint8_t>(height & 0xFF);
    tga[15] = static_cast<std::uint8_t>(height >> 8);
    return tga;
}

ChessSetBuilder ColumnsSet() {
    ChessSetBuilder set;
    // An image before any name is not listed.
    set.Signature(7).TextureImage(MakeTga(2, 2, 8));
    const std::vector<std::string> names = {
        "short.tga",          std::string(27, 'a'),
        std::string(28, 'b'), std::string(47, 'c'),
        std::string(48, 'd'), std::string(300, 'e'),
        "100% %s %d %n.tga",  "dir\\..\\name with spaces.tga",
    };
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto n = static_cast<std::uint32_t>(i);
        if (i % 2 == 0) {
            set.Material({n, n + 1}, names[i], 40, 60);
        } else {
            set.TextureReference(names[i]);
        }
        set.TextureImage(MakeTga(static_cast<std::uint16_t>(8 << (i % 4)), 4,
                                 static_cast<std::uint8_t>(i % 2 == 0 ? 24 : 32)));
    }
    set.TextureReference("huge.tga").TextureImage(HeaderOnlyTga(65535, 65535, 255));
    set.TextureReference("zero.tga").TextureImage(HeaderOnlyTga(0, 0, 0));
    // Nor is one whose name another chunk has cleared.
    set.TextureReference("cleared.tga").Object({1, 2}, {{0, 1}}).TextureImage(MakeTga(2, 2, 16));
    set.Material({9, 9}, "").TextureImage(MakeTga(2, 2, 16));
    set.ObjectName({1, 2}, "White King");
    set.Chunk(0x1234, 5, {1, 2, 3});
    return set;
}

struct NamedSet {
    std::string fileName;
    ChessSetBuilder set;
};

std::vector<NamedSet> ParitySets() {
    std::vector<NamedSet> sets;
    sets.push_back({"columns.DAT", ColumnsSet()});
    sets.push_back({"empty_set.DAT", ChessSetBuilder().Signature()});
    sets.push_back({"no_signature.DAT", ChessSetBuilder().TextureReference("a.tga")});
    sets.push_back(
        {"signature_with_length.DAT",
         ChessSetBuilder().ChunkClaiming(sorrelwick::format::kSetSignature, 0, 4, {0, 0, 0, 0})});
    sets.push_back({"short_header.DAT", ChessSetBuilder().Raw({0xA4, 0x0D, 0x6D})});
    sets.push_back({"trailing_fragment.DAT", ChessSetBuilder()
                                                 .Signature()
                                                 .TextureReference("t.tga")
                                                 .TextureImage(MakeTga(4, 4, 24))
                                                 .Raw({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})});
    sets.push_back({"cut_payload.DAT", ChessSetBuilder()
                                           .Signature()
                                           .TextureReference("first.tga")
                                           .TextureImage(MakeTga(4, 4, 24))
                                           .ChunkClaiming(3, 0, 4000, {1, 2, 3})});
    sets.push_back(
        {"huge_length.DAT", ChessSetBuilder().Signature().ChunkClaiming(2, 0, 0xFFFFFFFF, {0})});
    sets.push_back({"short_texture.DAT", ChessSetBuilder()
                                             .Signature()
                                             .TextureReference("tiny.tga")
                                             .TextureImage(std::vector<std::uint8_t>(16, 7))
                                             .TextureReference("ok.tga")
                                             .TextureImage(std::vector<std::uint8_t>(17, 0))});
    return sets;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-parity-sets FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::cerr << "make-parity-sets: cannot create " << folder.string() << "\n";
        return 1;
    }
    // A folder named like a set: opening it must fail on both systems.
    std::filesystem::create_directories(folder / "folder.DAT", error);
    for (const NamedSet& named : ParitySets()) {
        const std::string path = (folder / named.fileName).string();
        if (!named.set.WriteTo(path)) {
            std::cerr << "make-parity-sets: cannot write " << path << "\n";
            return 1;
        }
    }
    return 0;
}
