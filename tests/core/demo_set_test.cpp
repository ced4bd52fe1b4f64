// The demo sets hold what their manifests say, as the real walk and listing
// see it, and exercise what every later operation needs.

#include "generators/demo_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "format/byte_fields.h"
#include "format/chunk.h"
#include "generators/chess_set_builder.h"
#include "operations/listing.h"
#include "operations/set_file_walk.h"
#include "report/messages.h"
#include "support/report_matchers.h"
#include "support/temp_dir.h"

namespace sorrelwick::test {
namespace {

using format::Bytes;
using format::ChunkKey;

class DemoSetTest : public ::testing::TestWithParam<unsigned> {
  protected:
    DemoSetTest() : set_(gen::BuildDemoSet(GetParam())), path_(dir_.File(set_.fileName)) {
        EXPECT_TRUE(gen::WriteWholeFile(path_, set_.bytes));
    }

    TempDir dir_;
    gen::DemoSet set_;
    std::string path_;
};

TEST_P(DemoSetTest, ListingShowsEveryManifestTextureInFileOrder) {
    std::vector<std::string> body;
    for (const gen::DemoTexture& t : set_.textures) {
        body.push_back(report::TextureInfoLine(t.name, t.width, t.height, t.depth));
    }
    ToolState state;
    SetLoadedSet(state, path_);
    report::MemoryReportLog log;
    EXPECT_TRUE(operations::ListTextures(state, &log));
    EXPECT_EQ(log.Lines(), Framed(report::msg::Loading(set_.fileName), body));
}

std::uint8_t ByteAt(Bytes payload, std::size_t offset) {
    return offset < payload.size() ? payload[offset] : 0;
}

ChunkKey KeyAt(Bytes payload, std::size_t offset) {
    return {format::U32At(payload, offset).value_or(0),
            format::U32At(payload, offset + 4).value_or(0)};
}

// What a walk over the file finds, in the manifest's terms.
struct Found {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> textures;
    std::vector<gen::DemoMaterial> materials;
    std::vector<gen::DemoObject> objects;
    std::vector<std::uint32_t> opaqueKinds;
};

void Record(Found& found, const format::ChunkWalk& walk, const format::Chunk& chunk) {
    const Bytes p = chunk.payload;
    switch (chunk.header.kind) {
        case format::kTextureImageChunk:
            if (format::IsNamedTexture(walk, chunk)) {
                found.textures.emplace_back(walk.currentTextureName,
                                            std::vector<std::uint8_t>(p.begin(), p.end()));
            }
            return;
        case format::kMaterialChunk:
            found.materials.push_back({KeyAt(p, 0), ByteAt(p, 16), ByteAt(p, 17), gen::kClassNone,
                                       walk.currentTextureName});
            return;
        case format::kObjectChunk: {
            gen::DemoObject object{KeyAt(p, 0), chunk.header.variant, "", {}, gen::kClassNone};
            const std::uint32_t count = format::U32At(p, 50).value_or(0);
            for (std::size_t i = 0; i < count; ++i) {
                object.materials.push_back(KeyAt(p, 54 + 8 * i));
            }
            found.objects.push_back(object);
            return;
        }
        case format::kObjectNameChunk:
            for (gen::DemoObject& object : found.objects) {
                if (object.key == KeyAt(p, 0)) object.name = format::TextAt(p, 8);
            }
            return;
        case format::kTextureReferenceChunk:
            return;
        default:
            found.opaqueKinds.push_back(chunk.header.kind);
    }
}

TEST_P(DemoSetTest, FileHoldsExactlyTheManifest) {
    Found found;
    report::MemoryReportLog log;
    EXPECT_TRUE(operations::WalkSetFile(
        path_, set_.fileName, log, [&found](format::ChunkWalk& walk, const format::Chunk& chunk) {
            format::TrackTextureName(walk, chunk);
            Record(found, walk, chunk);
        }));
    EXPECT_TRUE(log.Lines().empty());

    ASSERT_EQ(found.textures.size(), set_.textures.size());
    for (std::size_t i = 0; i < set_.textures.size(); ++i) {
        EXPECT_EQ(found.textures[i].first, set_.textures[i].name);
        EXPECT_EQ(found.textures[i].second, set_.textures[i].tga) << set_.textures[i].name;
    }
    ASSERT_EQ(found.materials.size(), set_.materials.size());
    for (std::size_t i = 0; i < set_.materials.size(); ++i) {
        const gen::DemoMaterial& want = set_.materials[i];
        EXPECT_EQ(found.materials[i].key, want.key);
        EXPECT_EQ(found.materials[i].amplitude, want.amplitude);
        EXPECT_EQ(found.materials[i].shininess, want.shininess);
        EXPECT_EQ(found.materials[i].textureName, want.textureName);
    }
    ASSERT_EQ(found.objects.size(), set_.objects.size());
    for (std::size_t i = 0; i < set_.objects.size(); ++i) {
        EXPECT_EQ(found.objects[i].key, set_.objects[i].key);
        EXPECT_EQ(found.objects[i].variant, set_.objects[i].variant);
        EXPECT_EQ(found.objects[i].name, set_.objects[i].name);
        EXPECT_EQ(found.objects[i].materials, set_.objects[i].materials);
    }
    EXPECT_FALSE(found.opaqueKinds.empty()) << "no chunk of a kind the tool does not interpret";
}

// What the later operations need from every set: work for extraction and
// replacement, every specular class, and the cases the classification skips.
TEST_P(DemoSetTest, ExercisesWhatTheOperationsNeed) {
    const char letter = static_cast<char>('A' + GetParam());
    EXPECT_EQ(set_.fileName, std::string(1, letter) + "1_demo.DAT");
    EXPECT_LT(set_.bytes.size(), 1'000'000u);
    EXPECT_EQ(set_.bytes, gen::BuildDemoSet(GetParam()).bytes) << "not reproducible";

    const auto& textures = set_.textures;
    auto anyTexture = [&textures](auto predicate) {
        return std::any_of(textures.begin(), textures.end(), predicate);
    };
    EXPECT_FALSE(anyTexture([](const gen::DemoTexture& t) {
        return !std::has_single_bit(t.width) || !std::has_single_bit(t.height);
    }));
    EXPECT_TRUE(anyTexture([](const gen::DemoTexture& t) { return t.depth == 24; }));
    EXPECT_TRUE(anyTexture([](const gen::DemoTexture& t) { return t.depth == 32; }));
    EXPECT_TRUE(anyTexture([](const gen::DemoTexture& t) { return t.width != t.height; }));

    const auto& materials = set_.materials;
    for (std::uint32_t c :
         {gen::kClassNone, gen::kClassBoard, gen::kClassBlack, gen::kClassWhite}) {
        EXPECT_TRUE(std::any_of(materials.begin(), materials.end(),
                                [c](const gen::DemoMaterial& m) { return m.specularClass == c; }))
            << "no material of class " << c;
    }
    EXPECT_TRUE(std::any_of(materials.begin(), materials.end(),
                            [](const gen::DemoMaterial& m) { return m.textureName.empty(); }));

    const auto& objects = set_.objects;
    EXPECT_TRUE(std::any_of(objects.begin(), objects.end(), [](const gen::DemoObject& o) {
        return o.variant == format::kMaterialListVariant && o.nameClass == gen::kClassNone;
    })) << "no unrecognised object name";
    EXPECT_TRUE(std::any_of(objects.begin(), objects.end(), [](const gen::DemoObject& o) {
        return o.variant != format::kMaterialListVariant && o.nameClass != gen::kClassNone;
    })) << "no recognised name on an object of another variant";
}

INSTANTIATE_TEST_SUITE_P(EveryNamingStyle, DemoSetTest, ::testing::Range(0u, gen::kDemoStyleCount));

TEST(DemoSet, OnlyFourNamingStyles) {
    EXPECT_THROW(gen::BuildDemoSet(gen::kDemoStyleCount), std::out_of_range);
}

}  // namespace
}  // namespace sorrelwick::test
