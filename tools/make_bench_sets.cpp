// make-bench-sets: writes the large chess sets that scripts/bench.sh times.
//   textures PATH COUNT  COUNT textures of 256x256 at 32 bits (256 KiB each),
//                        each with a material that names it and an object
//                        that uses the material
//   objects PATH COUNT   COUNT materials, then COUNT objects each followed by
//                        its name chunk: three small chunks per object
// The file is written chunk by chunk, so a set larger than memory is fine.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"

namespace {

using sorrelwick::gen::ChessSetBuilder;
using sorrelwick::gen::ChunkKey;

// Names that cover every class: white, black, board, and one not recognised.
const char* const kObjectNames[] = {"PawnW", "R_KingB", "SField12", "Lamp"};

class SetWriter {
public:
    explicit SetWriter(const std::string& path) : out_(path, std::ios::binary | std::ios::trunc) {}

    // Appends the chunks built so far and starts an empty builder.
    void Flush(ChessSetBuilder& chunks) {
        const auto& bytes = chunks.Bytes();
        out_.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        chunks = ChessSetBuilder();
    }
    bool Close() {
        out_.close();
        return !out_.fail();
    }

private:
    std::ofstream out_;
};

bool WriteTextureSet(const std::string& path, std::uint32_t count) {
    SetWriter writer(path);
    ChessSetBuilder chunks;
    chunks.Signature();
    const auto image = sorrelwick::gen::MakeTga(256, 256, 32, [](unsigned x, unsigned y) {
        return sorrelwick::gen::Rgba{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                     static_cast<std::uint8_t>(x ^ y), 255};
    });
    for (std::uint32_t i = 0; i < count; ++i) {
        const ChunkKey material{i, 0x4D};
        const ChunkKey object{i, 0x4F};
        chunks.Object(object, {material}).ObjectName(object, kObjectNames[i % 4]);
        chunks.Material(material, "tex" + std::to_string(i) + ".tga", 100, 100);
        chunks.TextureImage(image);
        writer.Flush(chunks);
    }
    return writer.Close();
}

bool WriteObjectSet(const std::string& path, std::uint32_t count) {
    SetWriter writer(path);
    ChessSetBuilder chunks;
    chunks.Signature();
    constexpr std::uint32_t kBatch = 4096;
    for (std::uint32_t i = 0; i < count; ++i) {
        chunks.Material({i, 0x4D}, "", 100, 100);
        if (i % kBatch == 0) writer.Flush(chunks);
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        const ChunkKey object{i, 0x4F};
        chunks.Object(object, {{i, 0x4D}}).ObjectName(object, kObjectNames[i % 4]);
        if (i % kBatch == 0) writer.Flush(chunks);
    }
    writer.Flush(chunks);
    return writer.Close();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make-bench-sets textures|objects PATH COUNT\n";
        return 2;
    }
    const std::string kind = argv[1];
    const std::string path = argv[2];
    const auto count = static_cast<std::uint32_t>(std::stoul(argv[3]));
    bool written = false;
    if (kind == "textures") {
        written = WriteTextureSet(path, count);
    } else if (kind == "objects") {
        written = WriteObjectSet(path, count);
    } else {
        std::cerr << "make-bench-sets: unknown kind " << kind << "\n";
        return 2;
    }
    if (!written) {
        std::cerr << "make-bench-sets: could not write " << path << "\n";
        return 1;
    }
    return 0;
}
