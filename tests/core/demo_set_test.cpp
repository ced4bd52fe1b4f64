// Every operation on each demo set, one per naming style, checked against the
// manifest the generator built it from.

#include "generators/demo_set.h"

#include <algorithm>

#include "format/byte_fields.h"
#include "operations/extraction.h"
#include "operations/listing.h"
#include "operations/replacement.h"
#include "specular/change_specularity.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

class DemoSetTest : public ::testing::TestWithParam<unsigned> {
protected:
    DemoSetTest() : demo(gen::BuildDemoSet(GetParam())), set(demo.bytes, demo.fileName) {}

    gen::DemoSet demo;
    SetFolder set;
};

// Extract, check every file, edit the textures with our TGA builder (same
// size, other size, wrong depth in turn), replace, then list and extract again.
TEST_P(DemoSetTest, ExtractEditReplaceAndExtractAgain) {
    const std::string out = set.Folder("out"), again = set.Folder("again");
    ASSERT_TRUE(operations::ExtractTextures(set.state, out, &set.log));
    FolderContents extracted;
    for (const gen::DemoTexture& t : demo.textures) extracted[t.name] = t.tga;
    ASSERT_EQ(FilesIn(out), extracted);

    Lines listing;
    FolderContents expected;
    for (std::size_t i = 0; i < demo.textures.size(); ++i) {
        const gen::DemoTexture& t = demo.textures[i];
        const auto width = static_cast<std::uint16_t>(i % 3 == 1 ? t.width * 2 : t.width);
        const auto depth =
            static_cast<std::uint8_t>(i % 3 == 2 ? (t.depth == 24 ? 32 : 24) : t.depth);
        const Bytes edited = Image(width, t.height, depth, static_cast<std::uint8_t>(i));
        ASSERT_TRUE(gen::WriteWholeFile(platform::JoinPath(out, t.name), edited));
        const bool taken = i % 3 != 2;
        listing.push_back(
            report::TextureInfoLine(t.name, taken ? width : t.width, t.height, t.depth));
        expected[t.name] = taken ? edited : t.tga;
    }
    ASSERT_TRUE(operations::ReplaceTextures(set.state, out, &set.log));

    set.log = {};
    ASSERT_TRUE(operations::ListTextures(set.state, &set.log));
    EXPECT_EQ(set.log.Lines(), Framed("Loading " + demo.fileName, listing));
    ASSERT_TRUE(operations::ExtractTextures(set.state, again, &set.log));
    EXPECT_EQ(FilesIn(again), expected);
}

// White doubled, black halved, board dull (amplitude 0, shininess 255): the
// specular bytes of each material chunk, found by stepping over the headers,
// change by the group the manifest gives it and nothing else in the file
// does, which shows the classification too.
TEST_P(DemoSetTest, ScalesEachClassifiedMaterialByItsGroup) {
    set.state.percents = {50, 200, 200, 50, 0, 0};
    Bytes expected = demo.bytes;
    const auto word = [bytes = format::Bytes(demo.bytes)](std::size_t at) {
        return std::size_t{*format::U32At(bytes, at)};
    };
    auto material = demo.materials.begin();
    std::size_t white = 0, black = 0, board = 0;
    for (std::size_t at = 12; at + 12 <= expected.size(); at += 12 + word(at + 8)) {
        if (word(at) != format::kMaterialChunk) continue;
        ASSERT_NE(material, demo.materials.end());
        const gen::DemoMaterial& m = *material++;
        if (word(at + 8) < 18) continue;  // too short for its specular bytes
        std::uint8_t& amplitude = expected[at + 28];
        std::uint8_t& shininess = expected[at + 29];
        white += m.specularClass == gen::kClassWhite;
        black += m.specularClass == gen::kClassBlack;
        board += m.specularClass == gen::kClassBoard;
        if (m.specularClass == gen::kClassWhite) {
            amplitude = static_cast<std::uint8_t>(std::min(2 * m.amplitude, 255));
            shininess = static_cast<std::uint8_t>(std::min(2 * m.shininess, 255));
        } else if (m.specularClass == gen::kClassBlack) {
            amplitude = static_cast<std::uint8_t>(m.amplitude / 2);
            shininess = static_cast<std::uint8_t>(m.shininess / 2);
        } else if (m.specularClass == gen::kClassBoard) {
            amplitude = 0;
            shininess = 255;
        }
    }

    EXPECT_TRUE(specular::ChangeSpecularity(set.state, &set.log));
    const std::string backup = demo.fileName.substr(0, demo.fileName.rfind('.') + 1) + "000";
    EXPECT_EQ(set.log.Lines(),
              Framed("Changing specularity of " + demo.fileName,
                     {"Original file renamed to " + backup,
                      std::string("Changed ") + std::to_string(white) +
                          " materials of the white pieces, " +
                          std::to_string(black) + " of the black pieces and " +
                          std::to_string(board) + " of the board",
                      "Specularity changed successfully"}));
    EXPECT_EQ(set.Files(), (FolderContents{{backup, demo.bytes}, {demo.fileName, expected}}));
}

INSTANTIATE_TEST_SUITE_P(EveryNamingStyle, DemoSetTest, ::testing::Range(0u, gen::kDemoStyleCount));

}  // namespace
}  // namespace sorrelwick::test
