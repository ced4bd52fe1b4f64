// Every operation on each demo set, one per naming style, checked against the
// manifest the generator built it from.

#include "generators/demo_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "format/byte_fields.h"
#include "generators/tga_builder.h"
#include "operations/extraction.h"
#include "operations/listing.h"
#include "operations/replacement.h"
#include "platform/file_system.h"
#include "specular/change_specularity.h"
#include "specular/classification.h"
#include "support/set_fixture.h"
#include "support/specular_printing.h"

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

#ifndef _WIN32
// What a real TGA reader makes of a file: "format width height".
std::string Identify(const std::string& path) {
    const std::string command = "identify -format '%m %w %h' '" + path + "' 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return "popen failed";
    std::string text;
    char buffer[256];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        text.append(buffer, got);
    ::pclose(pipe);
    return text;
}

TEST_P(DemoSetTest, ExtractedFilesAreReadByATgaReader) {
    if (std::system("identify -version > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ImageMagick's identify is not installed";
    }
    const std::string out = set.Folder("out");
    ASSERT_TRUE(operations::ExtractTextures(set.state, out, &set.log));
    for (const gen::DemoTexture& t : demo.textures) {
        EXPECT_EQ(Identify(platform::JoinPath(out, t.name)),
                  "TGA " + std::to_string(t.width) + " " + std::to_string(t.height));
    }
}
#endif

TEST_P(DemoSetTest, MaterialsClassifyAsTheManifestSays) {
    specular::MaterialClassTable classes;
    EXPECT_TRUE(specular::ClassifyMaterials(set.state, set.log, classes));
    EXPECT_TRUE(set.log.Lines().empty());
    std::vector<format::ChunkKey> classified;
    for (const gen::DemoMaterial& m : demo.materials) {
        EXPECT_EQ(classes.ClassOf(m.key), static_cast<specular::SpecularClass>(m.specularClass))
            << "material " << m.key.first << "," << m.key.second;
        if (m.specularClass != gen::kClassNone &&
            std::find(classified.begin(), classified.end(), m.key) == classified.end()) {
            classified.push_back(m.key);
        }
    }
    EXPECT_EQ(classes.Size(), classified.size());
}

// The file offsets of the specular bytes of every material chunk, in file
// order, found by stepping over the headers; 0 for a payload too short.
std::vector<std::size_t> SpecularOffsets(const Bytes& file) {
    std::vector<std::size_t> offsets;
    const format::Bytes bytes(file);
    for (std::size_t at = 12; at + 12 <= bytes.size();) {
        const std::uint32_t kind = *format::U32At(bytes, at);
        const std::uint32_t length = *format::U32At(bytes, at + 8);
        if (kind == format::kMaterialChunk) offsets.push_back(length >= 18 ? at + 12 + 16 : 0);
        at += 12 + std::size_t{length};
    }
    return offsets;
}

TEST_P(DemoSetTest, ScalesEachClassifiedMaterialByItsGroup) {
    // White doubled, black halved, board dull: amplitude 0, shininess 255.
    set.state.percents = {50, 200, 200, 50, 0, 0};
    Bytes expected = demo.bytes;
    const std::vector<std::size_t> offsets = SpecularOffsets(demo.bytes);
    ASSERT_EQ(offsets.size(), demo.materials.size());
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const gen::DemoMaterial& m = demo.materials[i];
        if (offsets[i] == 0) continue;
        std::uint8_t& amplitude = expected[offsets[i]];
        std::uint8_t& shininess = expected[offsets[i] + 1];
        ASSERT_EQ(amplitude, m.amplitude);
        ASSERT_EQ(shininess, m.shininess);
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
                     {"Original file renamed to " + backup, "Specularity changed successfully"}));
    const Bytes written = set.SetBytes();
    ASSERT_EQ(written.size(), expected.size());
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        if (offsets[i] == 0) continue;
        EXPECT_EQ(written[offsets[i]], expected[offsets[i]]) << "amplitude of material " << i;
        EXPECT_EQ(written[offsets[i] + 1], expected[offsets[i] + 1])
            << "shininess of material " << i;
    }
    EXPECT_EQ(set.Files(), (FolderContents{{backup, demo.bytes}, {demo.fileName, expected}}));
}

// What the tests above need from every set to have work to check: images
// that can be replaced, every specular class, and an object of another
// variant whose recognised name must be passed over.
TEST_P(DemoSetTest, ExercisesWhatTheOperationsNeed) {
    EXPECT_EQ(demo.fileName, std::string(1, static_cast<char>('A' + GetParam())) + "1_demo.DAT");
    std::set<std::uint32_t> depths, classes;
    for (const gen::DemoTexture& t : demo.textures) {
        EXPECT_TRUE(std::has_single_bit(t.width) && std::has_single_bit(t.height)) << t.name;
        depths.insert(t.depth);
    }
    for (const gen::DemoMaterial& m : demo.materials) classes.insert(m.specularClass);
    EXPECT_EQ(depths, (std::set<std::uint32_t>{24, 32}));
    EXPECT_EQ(classes.size(), 4u);
    EXPECT_TRUE(std::any_of(demo.objects.begin(), demo.objects.end(), [](const gen::DemoObject& o) {
        return o.variant != format::kMaterialListVariant && o.nameClass != gen::kClassNone;
    }));
}

INSTANTIATE_TEST_SUITE_P(EveryNamingStyle, DemoSetTest, ::testing::Range(0u, gen::kDemoStyleCount));

}  // namespace
}  // namespace sorrelwick::test
