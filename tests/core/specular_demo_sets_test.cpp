// Each demo set, one per naming style, classifies its pieces and board as
// the generator built them, and the specularity change scales exactly the
// bytes of those materials.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "format/byte_fields.h"
#include "generators/chess_set_builder.h"
#include "generators/demo_set.h"
#include "report/report_log.h"
#include "specular/change_specularity.h"
#include "specular/classification.h"
#include "support/report_matchers.h"
#include "support/specular_printing.h"
#include "support/temp_dir.h"

namespace sorrelwick::specular {
namespace {

using FileBytes = std::vector<std::uint8_t>;

class SpecularDemoSetTest : public ::testing::TestWithParam<unsigned> {
  protected:
    SpecularDemoSetTest() : set_(gen::BuildDemoSet(GetParam())) {
        SetLoadedSet(state_, dir_.File(set_.fileName));
        EXPECT_TRUE(gen::WriteWholeFile(state_.setPath, set_.bytes));
    }

    test::TempDir dir_;
    gen::DemoSet set_;
    ToolState state_;
};

TEST_P(SpecularDemoSetTest, MaterialsClassifyAsTheManifestSays) {
    report::MemoryReportLog log;
    MaterialClassTable classes;
    EXPECT_TRUE(ClassifyMaterials(state_, log, classes));
    EXPECT_TRUE(log.Lines().empty());
    std::vector<ChunkKey> classified;
    for (const gen::DemoMaterial& m : set_.materials) {
        EXPECT_EQ(classes.ClassOf(m.key), static_cast<SpecularClass>(m.specularClass))
            << "material " << m.key.first << "," << m.key.second;
        if (m.specularClass != gen::kClassNone &&
            std::find(classified.begin(), classified.end(), m.key) == classified.end()) {
            classified.push_back(m.key);
        }
    }
    EXPECT_EQ(classes.Size(), classified.size());
}

// The payload offsets of the specular bytes of every material chunk, in
// file order, found by stepping over the headers.
std::vector<std::size_t> SpecularOffsets(const FileBytes& file) {
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

std::uint8_t Limited(unsigned value) {
    return static_cast<std::uint8_t>(std::min(value, 255u));
}

TEST_P(SpecularDemoSetTest, ScalesEachClassifiedMaterialByItsGroup) {
    // White doubled, black halved, board dull: amplitude 0, shininess 255.
    state_.percents = {50, 200, 200, 50, 0, 0};
    FileBytes expected = set_.bytes;
    const std::vector<std::size_t> offsets = SpecularOffsets(set_.bytes);
    ASSERT_EQ(offsets.size(), set_.materials.size());
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const gen::DemoMaterial& m = set_.materials[i];
        if (offsets[i] == 0) continue;
        std::uint8_t& amplitude = expected[offsets[i]];
        std::uint8_t& shininess = expected[offsets[i] + 1];
        ASSERT_EQ(amplitude, m.amplitude);
        ASSERT_EQ(shininess, m.shininess);
        switch (m.specularClass) {
            case gen::kClassWhite:
                amplitude = Limited(2u * m.amplitude);
                shininess = Limited(2u * m.shininess);
                break;
            case gen::kClassBlack:
                amplitude = m.amplitude / 2;
                shininess = m.shininess / 2;
                break;
            case gen::kClassBoard:
                amplitude = 0;
                shininess = 255;
                break;
            default:
                break;
        }
    }

    report::MemoryReportLog log;
    EXPECT_TRUE(ChangeSpecularity(state_, &log));
    const std::string stem = set_.fileName.substr(0, set_.fileName.rfind('.') + 1);
    EXPECT_EQ(log.Lines(), test::Framed("Changing specularity of " + set_.fileName,
                                        {"Original file renamed to " + stem + "000",
                                         "Specularity changed successfully"}));
    EXPECT_EQ(gen::ReadWholeFile(dir_.File(stem + "000")), set_.bytes);
    const FileBytes written = gen::ReadWholeFile(state_.setPath);
    ASSERT_EQ(written.size(), expected.size());
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        if (offsets[i] == 0) continue;
        EXPECT_EQ(written[offsets[i]], expected[offsets[i]]) << "amplitude of material " << i;
        EXPECT_EQ(written[offsets[i] + 1], expected[offsets[i] + 1])
            << "shininess of material " << i;
    }
    EXPECT_EQ(written, expected);
}

INSTANTIATE_TEST_SUITE_P(EveryNamingStyle, SpecularDemoSetTest,
                         ::testing::Range(0u, gen::kDemoStyleCount));

}  // namespace
}  // namespace sorrelwick::specular
