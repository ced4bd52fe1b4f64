// The preview page: its pictures decoded back to the TGA's pixels, its texts
// escaped, its flags, and the page file written whole or not at all.

#include "operations/preview.h"

#include <algorithm>
#include <tuple>

#include "comparison/set_comparison.h"
#include "format/tga_image.h"
#include "operations/changes_page.h"
#include "operations/texture_picture.h"
#include "report/messages.h"
#include "support/page_pictures.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

using report::TextureInfoLine;

class PreviewTest : public SetFixture {
protected:
    bool Preview(bool replace = false, const std::string& other = {}, unsigned jobs = 0) {
        log = {};
        return operations::WritePreviewPage(state, {page, replace, other, {}, jobs}, &log);
    }
    std::string PageText() const {
        const Bytes bytes = gen::ReadWholeFile(page);
        return {bytes.begin(), bytes.end()};
    }
    Lines Report(const Lines& body) const {
        return Framed("Previewing set1.DAT's textures in " + page, body);
    }

    std::string page = dir.File("page.html");
};

TEST_F(PreviewTest, TroublesAreFlaggedOnTheCardAndTheLine) {
    Bytes unknownType = Image(8, 8, 24);
    unknownType[2] = 5;
    struct Case {
        std::string name;
        Bytes image;
        std::string outcome;
        std::string onPage = {};  // the name as the page writes it, when it differs
    };
    const Case cases[] = {
        {"square.tga", Image(8, 8, 24), "Card written"},
        {"odd.tga", Image(6, 4, 32), "Card written: side not a power of two"},
        {"cut.tga", Cut(Image(8, 8, 24), 10), "Card written: image data cut short"},
        {"type5.tga", unknownType,
         "Card written without picture: image type 5 at 24 bits not decoded"},
        {"grey24.tga", gen::MakeTga(2, 2, 24), "Card written"},
        {"short.tga", Head(Image(8, 8, 24), 17),
         "Card written without picture: image data cut short"},
        {"<b>&\"it's\".tga", Image(4, 4, 24), "Card written",
         "&lt;b&gt;&amp;&quot;it&#39;s&quot;.tga"},
        {"tab\there\x7F.tga", Image(4, 4, 24), "Card written", "tab&#xFFFD;here&#xFFFD;.tga"},
        {"caf\xE9\x80.tga", Image(4, 4, 24), "Card written", "caf&#233;&#128;.tga"},
    };
    std::vector<Texture> textures;
    Lines body;
    for (const Case& c : cases) {
        textures.push_back({c.name, c.image});
        // On Windows the report reads the name's bytes in the code page.
        body.push_back(TextureInfoLine(platform::NameForReport(c.name), c.image[12], c.image[14],
                                       c.image[16], c.outcome));
    }
    body.push_back("Preview written to " + page);
    const Bytes set = SetOf(textures).Bytes();
    Write(set);
    ASSERT_TRUE(Preview());
    EXPECT_EQ(log.Lines(), Report(body));

    const std::string html = PageText();
    EXPECT_EQ(Occurrences(html, "<h1>set1.DAT</h1>"), 1u);
    EXPECT_EQ(Occurrences(html, std::to_string(set.size()) + " bytes, 9 textures"), 1u);
    EXPECT_EQ(Occurrences(html, "<span class=\"flag\">side not a power of two<"), 1u);
    EXPECT_EQ(Occurrences(html, "<span class=\"flag\">image data cut short<"), 2u);
    EXPECT_EQ(Occurrences(html, ">image type 5 at 24 bits not decoded<"), 1u);
    EXPECT_EQ(Occurrences(html, "<div class=\"missing\">"), 2u);
    // Each picture comes back with the pixels decoded, those a cut image
    // lacks transparent; one with an alpha (which kinds carry one shows in
    // the decoder's tests) has its colour and its alpha apart too.
    std::vector<std::tuple<std::string, int, Bytes>> expected;
    for (const Case& c : cases) {
        const format::DecodedImage image = format::DecodeTga(c.image).image;
        if (image.rgba.empty()) continue;
        const int width = static_cast<int>(image.width);
        const std::string alt = c.onPage.empty() ? c.name : c.onPage;
        expected.emplace_back(alt, width, image.rgba);
        if (!image.alpha) continue;
        Bytes colour = image.rgba, grey = image.rgba;
        for (std::size_t at = 0; at < grey.size(); at += 4) {
            colour[at + 3] = grey[at + 3] = 255;
            std::fill_n(grey.begin() + static_cast<std::ptrdiff_t>(at), 3, image.rgba[at + 3]);
        }
        expected.emplace_back(alt + " (colour)", width, colour);
        expected.emplace_back(alt + " (alpha)", width, grey);
    }
    std::vector<std::tuple<std::string, int, Bytes>> shown;
    for (const PagePicture& p : PicturesIn(html)) shown.emplace_back(p.alt, p.width, p.rgba);
    EXPECT_EQ(shown, expected);
    // An escaped name shows in the card's name and in its picture's alt.
    for (const Case& c : cases) {
        if (c.onPage.empty()) continue;
        EXPECT_EQ(Occurrences(html, c.onPage), 2u) << c.onPage;
        EXPECT_EQ(Occurrences(html, c.name), 0u) << c.name;
    }
    EXPECT_TRUE(std::all_of(html.begin(), html.end(),
                            [](char c) { return c == '\n' || (c >= 0x20 && c < 0x7F); }));
}

// A header with these fields and no pixels after it.
Bytes Header(std::uint16_t width, std::uint16_t height, std::uint8_t depth, std::uint8_t type = 2) {
    Bytes header = Head(gen::MakeTga(1, 1, 24), 18);
    header[2] = type;
    format::PutU32At(header, 12, width | std::uint32_t{height} << 16);
    header[16] = depth;
    return header;
}

// Every picture a window draws of a texture: pixels for each of its pixels,
// or the page's reason and none, for any header.
TEST(TexturePicture, EveryPictureHasPixelsOrThePagesReason) {
    Bytes junk(17, 0x5a);  // reads as 20053x19019, 85 bits, without a whole header
    format::PutU32At(junk, 12, 20053 | 19019u << 16);
    junk[16] = 85;
    struct Case {
        const char* what;
        Bytes tga;
        std::string reason;
    };
    const Case cases[] = {
        {"8x8", Image(8, 8, 32), ""},
        {"0x0", Header(0, 0, 24), "side not a power of two"},
        {"0x64", Header(0, 64, 24), "side not a power of two"},
        {"64x0 at 32 bits", Header(64, 0, 32), "side not a power of two"},
        {"declared 20053x19019", Header(20053, 19019, 24), "too large to show"},
        {"17 junk bytes", junk, std::string(report::msg::kFlagBadHeader)},
        {"3x5", Image(3, 5, 24), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        using operations::ChannelView;
        std::vector<operations::TexturePicture> pictures;
        for (const ChannelView view : {ChannelView::Colour, ChannelView::Alpha, ChannelView::Both})
            pictures.push_back(operations::MakeTexturePicture(c.tga, view));
        pictures.push_back(operations::MakeUnblendedPicture(c.tga));
        pictures.push_back(operations::ScaledNearest(pictures.back(), 10, 3));
        const operations::TexturePicture tile = operations::MakeTileTexturePicture(c.tga, 64);
        pictures.push_back(tile);
        for (const operations::TexturePicture& picture : pictures) {
            EXPECT_EQ(picture.reason, c.reason);
            EXPECT_EQ(picture.bgra.size(), std::size_t{picture.width} * picture.height * 4);
            EXPECT_EQ(picture.bgra.empty(), !c.reason.empty());
        }
        EXPECT_EQ(tile.width, c.reason.empty() ? 64u : 0u);
    }
}

TEST_F(PreviewTest, AnExistingPageIsReplacedOnlyWhenAskedAndNeverWhenItIsASet) {
    const Bytes set = SetOf({{"wood.tga", Image(4, 4, 24)}}).Bytes();
    Write(set);
    const std::string wood = TextureInfoLine("wood.tga", 4, 4, 24, "Card written");
    ASSERT_TRUE(Preview());
    const Bytes fresh = gen::ReadWholeFile(page);
    const Bytes old = {'o', 'l', 'd'};

    gen::WriteWholeFile(page, old);
    EXPECT_FALSE(Preview());
    EXPECT_EQ(log.Lines(),
              Report({wood, "Error - " + page + " already exists; it was left as it is",
                      "No preview page written"}));
    EXPECT_EQ(Files(), (FolderContents{{"page.html", old}, {"set1.DAT", set}}));

    EXPECT_TRUE(Preview(true));
    EXPECT_EQ(log.Lines(), Report({wood, "Preview written to " + page}));
    EXPECT_EQ(Files(), (FolderContents{{"page.html", fresh}, {"set1.DAT", set}}));

    page = setPath;
    EXPECT_FALSE(Preview(true));
    EXPECT_EQ(log.Lines(),
              Report({wood, "Error - " + page + " is a chess set; a page never replaces one",
                      "No preview page written"}));
    EXPECT_EQ(Files(), (FolderContents{{"page.html", fresh}, {"set1.DAT", set}}));

    // A path ending in a separator names no page: refused before anything
    // is written, even beside it.
    page = platform::JoinPath(dir.File("pages"), "");
    EXPECT_FALSE(Preview(true));
    EXPECT_EQ(log.Lines(), Lines{"Error - Invalid preview path"});
    EXPECT_EQ(Files(), (FolderContents{{"page.html", fresh}, {"set1.DAT", set}}));
}

// Against a backup: each texture that differs, its picture before in the
// first column and now in the second, in the same row; those only in one
// file labelled; the unchanged ones counted, not shown.
TEST_F(PreviewTest, ThePageOfChangesShowsBeforeAndNowOfWhatDiffersOnly) {
    const Bytes same = Image(4, 4, 24), was = Image(4, 4, 32), repainted = Image(4, 4, 32, 90),
                wide = Image(8, 4, 24), resized = Image(4, 4, 24), gone = Image(4, 4, 24, 7),
                added = Image(2, 4, 24, 3);
    const std::vector<Texture> before = {
        {"same.tga", same}, {"repainted.tga", was}, {"resized.tga", wide}, {"gone.tga", gone}};
    const std::vector<Texture> now = {{"same.tga", same},
                                      {"repainted.tga", repainted},
                                      {"resized.tga", resized},
                                      {"new.tga", added}};
    Write(SetOf(now).Bytes());
    gen::WriteWholeFile(dir.File("set1.000"), SetOf(before).Bytes());
    ASSERT_TRUE(Preview(false, "0")) << ::testing::PrintToString(log.Lines());
    EXPECT_EQ(log.Lines(),
              Framed("Previewing set1.DAT's changes from set1.000 in " + page,
                     {TextureInfoLine("repainted.tga", 4, 4, 32, "changed: pixels"),
                      TextureInfoLine("resized.tga", 4, 4, 24, "changed: was 8x4 24 bits"),
                      TextureInfoLine("new.tga", 2, 4, 24, "only in set1.DAT"),
                      TextureInfoLine("gone.tga", 4, 4, 24, "only in set1.000"),
                      "Preview written to " + page}));

    const std::string html = PageText();
    // Rows from 2 in the comparison's order; the backup's cards come first.
    const std::tuple<std::string, std::string, Bytes> cards[] = {
        {"repainted.tga", "grid-row:2;grid-column:1", was},
        {"resized.tga", "grid-row:3;grid-column:1", wide},
        {"gone.tga", "grid-row:5;grid-column:1", gone},
        {"repainted.tga", "grid-row:2;grid-column:2", repainted},
        {"resized.tga", "grid-row:3;grid-column:2", resized},
        {"new.tga", "grid-row:4;grid-column:2", added}};
    std::size_t at = 0;
    std::vector<Bytes> expected;
    for (const auto& [name, place, image] : cards) {
        at = html.find("<div class=\"card\" style=\"" + place + "\">", at);
        ASSERT_NE(at, std::string::npos) << name << " " << place;
        const std::string nameOpening = "<div class=\"name\">";
        EXPECT_EQ(html.find(nameOpening, at), html.find(nameOpening + name + "<", at)) << name;
        expected.push_back(format::DecodeTga(image).image.rgba);
    }
    EXPECT_EQ(Occurrences(html, "<span class=\"note\">only in set1.000<"), 1u);
    EXPECT_EQ(Occurrences(html, "<span class=\"note\">only in set1.DAT<"), 1u);
    EXPECT_EQ(Occurrences(html, "same.tga"), 0u);
    EXPECT_EQ(Occurrences(html, "4 textures differ, 1 texture the same in both, not shown"), 1u);
    std::vector<Bytes> shown;
    for (const PagePicture& picture : PicturesIn(html)) {
        if (picture.alt.find(" (") == std::string::npos) shown.push_back(picture.rgba);
    }
    EXPECT_EQ(shown, expected);

    // Another set's name in any language shows as itself, as in the title.
    const std::string other = dir.File("\xD0\x94\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB0.DAT");
    gen::WriteWholeFile(other, SetOf(before).Bytes());
    ASSERT_TRUE(Preview(true, other));
    EXPECT_EQ(
        Occurrences(PageText(),
                    "<span class=\"note\">only in \xD0\x94\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB0.DAT<"),
        1u);
}

TEST_F(PreviewTest, ASetThatCannotBeReadGivesNoPage) {
    const Bytes cut =
        SetOf({{"wood.tga", Image(4, 4, 24)}}).ChunkClaiming(3, 0, 100, {1, 2}).Bytes();
    Write(cut);
    EXPECT_FALSE(Preview());
    EXPECT_EQ(log.Lines(), Report({TextureInfoLine("wood.tga", 4, 4, 24, "Card written"),
                                   kCouldNotRead, "No preview page written"}));
    EXPECT_EQ(Files(), (FolderContents{{"set1.DAT", cut}}));
    const Bytes whole = SetOf({{"wood.tga", Image(4, 4, 24)}}).Bytes();
    Write(whole);
    // The picture's memory, after the payload's.
    EXPECT_EQ(RunArmed({Operation::Allocate, 2}, [&] { return Preview(); }),
              std::pair(false, true));
    EXPECT_EQ(log.Lines(), Report({kNoMemory, "No preview page written"}));
    EXPECT_EQ(Files(), (FolderContents{{"set1.DAT", whole}}));
    // A set that lost a texture that differs between the comparison and
    // the page: no page lacking its card.
    const comparison::ComparedSet now{setPath, "set1.DAT"},
        before{dir.File("set1.000"), "set1.000"};
    Write(SetOf({{"same.tga", Image(4, 4, 24)}, {"wood.tga", Image(4, 4, 32)}}).Bytes());
    gen::WriteWholeFile(before.path, whole);
    const std::optional<comparison::SetComparison> compared = CompareSets(now, before, log);
    ASSERT_TRUE(compared);
    Write(whole);
    log = {};
    EXPECT_EQ(operations::WriteChangesPageOf(now, before, *compared, page, false, log),
              operations::PageOutcome::NotWritten);
    EXPECT_EQ(log.Lines(), Lines{kCouldNotRead});
    EXPECT_EQ(Files(), (FolderContents{{"set1.000", whole}, {"set1.DAT", whole}}));
    std::filesystem::remove(gen::Utf8Path(before.path));
    EXPECT_FALSE(Preview(false, "7"));  // a backup that is not there
    EXPECT_EQ(log.Lines(), Framed("Previewing set1.DAT's changes from set1.007 in " + page,
                                  {"Error - Could not open set1.007", ReasonLine(Why::NotFound),
                                   "No preview page written"}));
    EXPECT_EQ(Files(), (FolderContents{{"set1.DAT", whole}}));
}

// The page of changes kept in memory is the page written to disk, as long as
// it fits the room it is given; past it, it is given up and says so.
TEST_F(PreviewTest, AChangesPageInMemoryIsThePageOnDiskWithinItsRoom) {
    Write(SetOf({{"same.tga", Image(4, 4, 24)}, {"wood.tga", Image(8, 8, 32, 5)}}).Bytes());
    gen::WriteWholeFile(dir.File("set1.000"),
                        SetOf({{"same.tga", Image(4, 4, 24)}, {"wood.tga", Image(8, 8, 32)}})
                            .Bytes());
    const comparison::ComparedSet now{setPath, "set1.DAT"},
        before{dir.File("set1.000"), "set1.000"};
    const std::optional<comparison::SetComparison> compared = CompareSets(now, before, log);
    ASSERT_TRUE(compared);
    ASSERT_EQ(operations::WriteChangesPageOf(now, before, *compared, page, false, log, {}, {}, 3),
              operations::PageOutcome::Written);
    const std::string onDisk = PageText();
    struct Room {
        std::size_t bytes;
        bool fits;
    };
    const Room rooms[] = {{onDisk.size(), true}, {onDisk.size() + 1, true},
                          {onDisk.size() - 1, false}, {0, false}};
    for (const Room& room : rooms) {
        SCOPED_TRACE(room.bytes);
        for (const unsigned jobs : {1u, 3u}) {
            log = {};
            const std::optional<operations::PageText> made =
                operations::ChangesPageText(now, before, *compared, room.bytes, log, {}, {}, jobs);
            ASSERT_TRUE(made);
            EXPECT_EQ(made->tooLarge, !room.fits);
            EXPECT_EQ(made->text == onDisk, room.fits);
            EXPECT_LE(made->text.size(), room.bytes);
            EXPECT_TRUE(log.Lines().empty());
        }
    }
}

// Pictures made on several threads: the same page, byte for byte, and the
// same report as on one, for a whole set and for its changes.
TEST_F(PreviewTest, ThePageIsTheSameOnOneThreadAndOnMany) {
    std::vector<Texture> before, now;
    for (std::uint8_t i = 0; i < 23; ++i) {
        std::string name = "t";  // appended: GCC 12 warns of "t" + std::string at -O2
        name.append(std::to_string(i)).append(".tga");
        // Sizes and depths vary so the pictures take unequal times; some
        // have no picture, one is cut short.
        const auto side = static_cast<std::uint16_t>(4u << (i % 5));
        Bytes image = Image(side, static_cast<std::uint16_t>(side / (1 + i % 2)),
                            i % 3 ? 32 : 24, i);
        if (i == 5) image[2] = 5;
        if (i == 9) image = Cut(image, 20);
        now.push_back({name, image});
        before.push_back({name, i % 4 ? Image(4, 4, 24, static_cast<std::uint8_t>(i + 1)) : image});
    }
    Write(SetOf(now).Bytes());
    gen::WriteWholeFile(dir.File("set1.000"), SetOf(before).Bytes());
    for (const std::string& other : {std::string(), std::string("0")}) {
        SCOPED_TRACE(other.empty() ? "whole set" : "changes");
        ASSERT_TRUE(Preview(true, other, 1));
        const std::string onOne = PageText();
        const Lines linesOnOne = log.Lines();
        for (const unsigned jobs : {2u, 3u, 8u}) {
            ASSERT_TRUE(Preview(true, other, jobs)) << jobs;
            EXPECT_TRUE(PageText() == onOne) << jobs << " threads";
            EXPECT_EQ(log.Lines(), linesOnOne) << jobs << " threads";
        }
    }
}

// With and without a page to replace, under every fault: the page's path
// holds the old page or the whole new one, and nothing else stays behind
// unless a line says so.
TEST_F(PreviewTest, NoFaultLeavesAPartialPageOrLosesTheOldOne) {
    const Bytes set = SetOf({{"wood.tga", Image(4, 4, 24)},
                             {"odd.tga", Image(3, 4, 24)},
                             {"glass.tga", Image(2, 2, 32)}})
                          .Bytes();
    Write(set);
    ASSERT_TRUE(Preview());
    const Bytes fresh = gen::ReadWholeFile(page);
    const Bytes old = {'o', 'l', 'd'};
    // On one thread, and with the pictures made on a pool.
    for (const auto& [replace, jobs] : {std::pair(false, 1u), std::pair(true, 1u),
                                        std::pair(false, 3u), std::pair(true, 3u)}) {
        SCOPED_TRACE(::testing::Message() << (replace ? "replacing a page" : "a new page")
                                          << ", " << jobs << " threads");
        ForEveryFault([&](const FaultPlan& plan) {
            for (const std::string& name : dir.Entries()) {
                if (name != "set1.DAT") std::filesystem::remove(dir.Path() / name);
            }
            if (replace) gen::WriteWholeFile(page, old);
            const auto [result, fired] =
                RunArmed(plan, [&] { return Preview(replace, {}, jobs); });
            const FolderContents files = Files();
            const Lines& lines = log.Lines();
            // A page in place is reported as written even when its old
            // copy stays or its folder was not flushed; the latter fails.
            const bool placed = files.count("page.html") && files.at("page.html") == fresh;
            EXPECT_EQ(result, !fired || (placed && !Has(lines, report::msg::CouldNotWrite(page))));
            EXPECT_EQ(Has(lines, "Preview written to " + page), placed);
            const bool leftovers = std::any_of(lines.begin(), lines.end(), [](auto& line) {
                return line.starts_with("Error - Could not delete") ||
                       (line.starts_with("Error - Could not rename") &&
                        line.find('~') < line.find(" to "));
            });
            FolderContents expected = {{"set1.DAT", set}};
            if (placed || replace) expected["page.html"] = placed ? fresh : old;
            if (!leftovers) {
                EXPECT_EQ(files, expected);
            } else {
                // The clean-up failed too and said so: the page's path holds
                // the old or the new page, or the old one was set aside.
                const Bytes shown = files.count("page.html") ? files.at("page.html") : Bytes{};
                EXPECT_TRUE(shown == fresh || shown == old || shown.empty());
                // A page not replaced gets its old one back, or a second
                // line says that this move failed too.
                const auto movesToPage = std::count_if(lines.begin(), lines.end(), [&](auto& l) {
                    return l.starts_with("Error - Could not rename") && l.ends_with(" to " + page);
                });
                EXPECT_TRUE(!replace || !shown.empty() || movesToPage == 2);
                EXPECT_TRUE(!replace || std::any_of(files.begin(), files.end(), [&](auto& file) {
                    return file.second == old;
                }));
            }
            return fired;
        });
    }
}

}  // namespace
}  // namespace sorrelwick::test
