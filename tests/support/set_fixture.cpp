#include "support/set_fixture.h"

#include <filesystem>

namespace sorrelwick::test {

SetFolder::SetFolder(const std::string& name) {
    Load(name);
}

SetFolder::SetFolder(const Bytes& bytes, const std::string& name) : SetFolder(name) {
    Write(bytes);
}

void SetFolder::Load(const std::string& name) {
    setPath = dir.File(name);
    SetLoadedSet(state, setPath);
}

void SetFolder::Write(const Bytes& bytes) const {
    EXPECT_TRUE(gen::WriteWholeFile(setPath, bytes));
}

Bytes SetFolder::SetBytes() const {
    return gen::ReadWholeFile(setPath);
}

std::string SetFolder::Folder(const std::string& name) const {
    std::filesystem::create_directories(dir.Path() / name);
    return dir.File(name);
}

Bytes Image(std::uint16_t width, std::uint16_t height, std::uint8_t depth, std::uint8_t seed) {
    return gen::MakeTga(width, height, depth, [seed](unsigned x, unsigned y) {
        return gen::Rgba{static_cast<std::uint8_t>(x * 37 + seed),
                         static_cast<std::uint8_t>(y * 59), static_cast<std::uint8_t>(x ^ y),
                         static_cast<std::uint8_t>(200 + x)};
    });
}

gen::ChessSetBuilder SetOf(const std::vector<Texture>& textures) {
    gen::ChessSetBuilder set;
    set.Signature();
    for (const Texture& texture : textures) {
        set.TextureReference(texture.name).TextureImage(texture.image);
    }
    return set;
}

Bytes Cut(Bytes bytes, std::size_t by) {
    bytes.resize(bytes.size() - by);
    return bytes;
}

Bytes Head(const Bytes& bytes, std::size_t count) {
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count)};
}

}  // namespace sorrelwick::test
