// The preview page: its pictures decoded back to the TGA's pixels, its texts
// escaped, its flags, and the page file written whole or not at all.

#include "operations/preview.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "generators/tga_builder.h"
#include "platform/file_system.h"
#include "report/messages.h"
#include "support/page_pictures.h"
#include "support/report_matchers.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

using report::TextureInfoLine;

class PreviewTest : public SetFixture {
protected:
    bool Preview(bool replace = false, const FaultPlan& fault = {}) {
        log = {};
        const platform::ScopedFault armed(fault);
        const bool result = operations::WritePreviewPage(state, page, replace, &log);
        faultFired = platform::FaultFired();
        return result;
    }
    std::string PageText() const {
        const Bytes bytes = gen::ReadWholeFile(page);
        return {bytes.begin(), bytes.end()};
    }
    Lines Report(const Lines& body) const {
        return Framed("Previewing set1.DAT's textures in " + page, body);
    }

    std::string page = dir.File("page.html");
    bool faultFired = false;
};

// Pairs of equal pixels along each row, so that run-length images hold both
// packet kinds; nine colours, each with its own alpha.
gen::Rgba Pattern(unsigned x, unsigned y) {
    const auto pair = static_cast<std::uint8_t>(x / 2);
    return {static_cast<std::uint8_t>(pair * 70), static_cast<std::uint8_t>(y * 90),
            static_cast<std::uint8_t>(200 - pair * 60), static_cast<std::uint8_t>(60 + y * 60)};
}

TEST_F(PreviewTest, EveryDecodedKindComesBackFromThePageWithItsPixels) {
    struct Kind {
        std::uint8_t type, depth, mapBits = 0;
        bool alphaBit = false;
        std::uint16_t mapFirstIndex = 0;
    };
    const Kind kinds[] = {
        {2, 15},    {2, 16},          {2, 16, 0, true},
        {2, 24},    {2, 32},          {3, 8},
        {1, 8, 15}, {1, 8, 16, true}, {1, 8, 24, false, 3},
        {1, 8, 32}, {1, 16, 16},      {1, 16, 24, false, 300},
    };
    std::vector<gen::BuiltTga> built;
    std::vector<Texture> textures;
    for (const Kind& kind : kinds) {
        for (const bool runLength : {false, true}) {
            for (const unsigned origin : {0u, 1u, 2u, 3u}) {
                gen::TgaLayout layout{
                    .imageType = static_cast<std::uint8_t>(kind.type + (runLength ? 8 : 0)),
                    .depth = kind.depth,
                    .mapEntryBits = kind.mapBits,
                    .mapFirstIndex = kind.mapFirstIndex,
                    .alphaBit = kind.alphaBit,
                    .topToBottom = (origin & 1u) != 0,
                    .rightToLeft = (origin & 2u) != 0,
                    .id = {}};
                built.push_back(gen::BuildTga(layout, 6, 3, Pattern));
                textures.push_back(
                    {"kind" + std::to_string(textures.size()) + ".tga", built.back().file});
            }
        }
    }
    Write(SetOf(textures).Bytes());
    ASSERT_TRUE(Preview()) << ::testing::PrintToString(log.Lines());

    const std::vector<PagePicture> pictures = PicturesIn(PageText());
    ASSERT_EQ(pictures.size(), built.size());
    for (std::size_t i = 0; i < built.size(); ++i) {
        SCOPED_TRACE(textures[i].name);
        EXPECT_EQ(pictures[i].width, 6);
        EXPECT_EQ(pictures[i].height, 3);
        EXPECT_EQ(pictures[i].rgba, built[i].rgba);
    }
}

TEST_F(PreviewTest, TextsFromTheSetAreEscaped) {
    const std::pair<std::string, std::string> names[] = {
        {"<b>&\"it's\".tga", "&lt;b&gt;&amp;&quot;it&#39;s&quot;.tga"},
        {"tab\there\x7F.tga", "tab&#xFFFD;here&#xFFFD;.tga"},
        {"caf\xE9\x80.tga", "caf&#233;&#128;.tga"},
    };
    std::vector<Texture> textures;
    for (const auto& [name, escaped] : names) textures.push_back({name, Image(4, 4, 24)});
    Write(SetOf(textures).Bytes());
    ASSERT_TRUE(Preview());
    const std::string html = PageText();
    for (const auto& [name, escaped] : names) {
        EXPECT_EQ(Occurrences(html, escaped), 2u) << escaped;  // the name and the picture's alt
        EXPECT_EQ(Occurrences(html, name), 0u) << name;
    }
    EXPECT_TRUE(std::all_of(html.begin(), html.end(),
                            [](char c) { return c == '\n' || (c >= 0x20 && c < 0x7F); }));
}

TEST_F(PreviewTest, TroublesAreFlaggedOnTheCardAndTheLine) {
    Bytes cut = Image(8, 8, 24);
    cut.resize(cut.size() - 10);
    Bytes unknownType = Image(8, 8, 24);
    unknownType[2] = 5;
    Bytes headerOnly = Image(8, 8, 24);
    headerOnly.resize(17);
    struct Case {
        std::string name;
        Bytes image;
        std::string outcome;
    };
    const Case cases[] = {
        {"square.tga", Image(8, 8, 24), "Preview shown"},
        {"odd.tga", Image(6, 4, 32), "Preview shown: side not a power of two"},
        {"cut.tga", cut, "Preview shown: image data cut short"},
        {"type5.tga", unknownType, "Preview without picture: image type 5 at 24 bits not decoded"},
        {"grey24.tga", gen::MakeTga(2, 2, 24), "Preview shown"},
        {"short.tga", headerOnly, "Preview without picture: image data cut short"},
    };
    std::vector<Texture> textures;
    Lines body;
    for (const Case& c : cases) {
        textures.push_back({c.name, c.image});
        body.push_back(TextureInfoLine(c.name, c.image[12], c.image[14], c.image[16], c.outcome));
    }
    body.push_back("Preview written to " + page);
    const Bytes set = SetOf(textures).Bytes();
    Write(set);
    ASSERT_TRUE(Preview());
    EXPECT_EQ(log.Lines(), Report(body));

    const std::string html = PageText();
    EXPECT_EQ(Occurrences(html, "<h1>set1.DAT</h1>"), 1u);
    EXPECT_EQ(Occurrences(html, std::to_string(set.size()) + " bytes, 6 textures"), 1u);
    EXPECT_EQ(Occurrences(html, "<span class=\"flag\">side not a power of two<"), 1u);
    EXPECT_EQ(Occurrences(html, "<span class=\"flag\">image data cut short<"), 2u);
    EXPECT_EQ(Occurrences(html, ">image type 5 at 24 bits not decoded<"), 1u);
    EXPECT_EQ(Occurrences(html, "<div class=\"missing\">"), 2u);
    const std::vector<PagePicture> pictures = PicturesIn(html);
    ASSERT_EQ(pictures.size(), 4u);
    EXPECT_EQ(std::make_pair(pictures[2].width, pictures[2].height), std::make_pair(8, 8));
}

TEST_F(PreviewTest, AnExistingPageIsReplacedOnlyWhenAskedAndNeverWhenItIsASet) {
    const Bytes set = SetOf({{"wood.tga", Image(4, 4, 24)}}).Bytes();
    Write(set);
    const std::string wood = TextureInfoLine("wood.tga", 4, 4, 24, "Preview shown");
    ASSERT_TRUE(Preview());
    const Bytes fresh = gen::ReadWholeFile(page);
    const Bytes old = {'o', 'l', 'd'};

    gen::WriteWholeFile(page, old);
    EXPECT_FALSE(Preview());
    EXPECT_EQ(log.Lines(),
              Report({wood, "Error - " + page + " already exists; it was left as it is"}));
    EXPECT_EQ(Files(), (FolderContents{{"page.html", old}, {"set1.DAT", set}}));

    EXPECT_TRUE(Preview(true));
    EXPECT_EQ(log.Lines(), Report({wood, "Preview written to " + page}));
    EXPECT_EQ(Files(), (FolderContents{{"page.html", fresh}, {"set1.DAT", set}}));

    page = setPath;
    EXPECT_FALSE(Preview(true));
    EXPECT_EQ(log.Lines(),
              Report({wood, "Error - " + page + " is a chess set; a page never replaces one"}));
    EXPECT_EQ(Files(), (FolderContents{{"page.html", fresh}, {"set1.DAT", set}}));

    // A path ending in a separator names no page: refused before anything
    // is written, even beside it.
    page = platform::JoinPath(dir.File("pages"), "");
    EXPECT_FALSE(Preview(true));
    EXPECT_EQ(log.Lines(), Lines{"Error - Invalid preview path"});
    EXPECT_EQ(Files(), (FolderContents{{"page.html", fresh}, {"set1.DAT", set}}));
}

TEST_F(PreviewTest, ASetThatCannotBeReadGivesNoPage) {
    const std::string wood = TextureInfoLine("wood.tga", 4, 4, 24, "Preview shown");
    const Bytes whole = SetOf({{"wood.tga", Image(4, 4, 24)}}).Bytes();
    const std::pair<Bytes, Lines> cases[] = {
        {{'n', 'o', 't', ' ', 'a', ' ', 's', 'e', 't', '!', '!', '!'},
         {"Error - Bad file format. set1.DAT isn't a proper Tessaravine chess set."}},
        {SetOf({{"wood.tga", Image(4, 4, 24)}}).ChunkClaiming(3, 0, 100, {1, 2}).Bytes(),
         {wood, "Error - Could not read set1.DAT"}},
    };
    for (const auto& [bytes, lines] : cases) {
        Write(bytes);
        Lines body = lines;
        body.push_back("No preview page written");
        EXPECT_FALSE(Preview());
        EXPECT_EQ(log.Lines(), Report(body));
        EXPECT_EQ(Files(), (FolderContents{{"set1.DAT", bytes}}));
    }
    Write(whole);
    EXPECT_FALSE(Preview(false, {Operation::Allocate, 2}));  // the picture, after the payload
    EXPECT_EQ(log.Lines(), Report({"Error - Not enough memory", "No preview page written"}));
    EXPECT_EQ(Files(), (FolderContents{{"set1.DAT", whole}}));
}

// Fails the k-th checked operation, once or from there on, for every k until
// a run passes untouched, with and without a page to replace: the page's path
// holds the old page or the whole new one, and nothing else stays behind
// unless a line says so.
TEST_F(PreviewTest, NoFaultLeavesAPartialPageOrLosesTheOldOne) {
    const Bytes set = SetOf({{"wood.tga", Image(4, 4, 24)}, {"odd.tga", Image(3, 4, 24)}}).Bytes();
    Write(set);
    ASSERT_TRUE(Preview());
    const Bytes fresh = gen::ReadWholeFile(page);
    const Bytes old = {'o', 'l', 'd'};
    for (const bool replace : {false, true}) {
        for (const bool persistent : {false, true}) {
            for (std::uint64_t k = 1;; ++k) {
                SCOPED_TRACE(::testing::Message() << "replace " << replace << ", persistent "
                                                  << persistent << ", operation " << k);
                ASSERT_LT(k, 100u) << "the preview never ran untouched";
                for (const std::string& name : dir.Entries()) {
                    if (name != "set1.DAT") std::filesystem::remove(dir.Path() / name);
                }
                if (replace) gen::WriteWholeFile(page, old);
                const bool result = Preview(replace, {std::nullopt, k, persistent});
                const bool fired = faultFired;
                const FolderContents files = Files();
                const Lines& lines = log.Lines();
                // A page in place counts as written even when its old copy
                // stays; one whose folder was not flushed does not.
                const bool placed = files.count("page.html") && files.at("page.html") == fresh;
                EXPECT_EQ(result,
                          !fired || (placed && !Has(lines, report::msg::CouldNotWrite(page))));
                const bool leftovers = std::any_of(lines.begin(), lines.end(), [](auto& line) {
                    return line.starts_with("Error - Could not delete") ||
                           (line.starts_with("Error - Could not rename") &&
                            line.find('~') < line.find(" to "));
                });
                FolderContents expected = {{"set1.DAT", set}};
                if (placed) {
                    expected["page.html"] = fresh;
                } else if (replace) {
                    expected["page.html"] = old;
                }
                if (!leftovers) {
                    EXPECT_EQ(files, expected);
                } else {
                    // The clean-up failed too and said so: the page's path
                    // holds the old or the new page, or the old one was set
                    // aside.
                    const Bytes shown = files.count("page.html") ? files.at("page.html") : Bytes{};
                    EXPECT_TRUE(shown == fresh || shown == old || shown.empty());
                    EXPECT_TRUE(!replace ||
                                std::any_of(files.begin(), files.end(),
                                            [&](auto& file) { return file.second == old; }));
                }
                if (!fired) break;
            }
        }
    }
}

}  // namespace
}  // namespace sorrelwick::test
