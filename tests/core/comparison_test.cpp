// Two chess sets compared: which textures and materials differ and how the
// report says so, the rest as one line, and when they can't be compared.

#include "comparison/comparison_report.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

using comparison::ComparisonOutcome;
using report::NameMessageLine;
using report::TextureInfoLine;

// What the sets of a case are made of; each case changes a few of these
// on one side.
struct Look {
    Bytes wood = Image(8, 8, 24, 1);
    Bytes marble = Image(4, 4, 32, 2);
    std::uint8_t whiteShininess = 40;
    std::uint8_t boardShininess = 30;
    bool secondMarble = false;  // a second texture of that name
    bool felt = true;           // a texture behind its own reference chunk
    std::string boardObject = "SField12";
    Bytes tail = {};  // after the last chunk
};

Bytes SetLooking(const Look& look) {
    gen::ChessSetBuilder set;
    set.Signature()
        .Object({1, 1}, {{10, 1}})
        .ObjectName({1, 1}, "PawnW")
        .Object({2, 2}, {{20, 2}, {21, 2}})
        .ObjectName({2, 2}, look.boardObject)
        .Material({10, 1}, "wood.tga", 10, look.whiteShininess)
        .TextureImage(look.wood)
        .Material({20, 2}, "marble.tga", 30, look.boardShininess)
        .TextureImage(look.marble);
    if (look.secondMarble) set.TextureImage(Image(4, 4, 32, 9));
    set.Material({21, 2}, "", 5, look.boardShininess);
    if (look.felt) set.TextureReference("felt.tga").TextureImage(Image(16, 16, 24, 3));
    return set.Raw(look.tail).Bytes();
}

struct Case {
    const char* what;
    Look set;
    Look other;
    Lines body;  // between the heading and the closing lines
    ComparisonOutcome outcome = ComparisonOutcome::Different;
    std::string otherArgument = "0";  // set1.000 holds `other`
    bool otherIsASet = true;
};

const std::string kOtherData =
    "  Other data differs: objects, names, other chunks or bytes after the last chunk";

// clang-format off
const Case kCases[] = {
    {"identical sets", {}, {}, {"No differences"}, ComparisonOutcome::Same},
    {"a resized texture", {.wood = Image(16, 16, 24, 1)}, {},
     {"  wood.tga                    16x16      24 bits  changed: was 8x8 24 bits", "",
      "1 texture differs"}},
    {"a repainted texture, leading zeros name the backup", {.marble = Image(4, 4, 32, 7)}, {},
     {TextureInfoLine("marble.tga", 4, 4, 32, "changed: pixels"), "", "1 texture differs"},
     ComparisonOutcome::Different, "000"},
    {"a second texture of a name added, one removed with its reference",
     {.secondMarble = true, .felt = false}, {},
     {TextureInfoLine("marble.tga (2)", 4, 4, 32, "only in set1.DAT"),
      TextureInfoLine("felt.tga", 16, 16, 24, "only in set1.000"), kOtherData, "",
      "2 textures and other data differ"}},
    {"specularity changed, a class counted once per material",
     {.whiteShininess = 60, .boardShininess = 35}, {},
     {NameMessageLine("white pieces", "1 material changed: shininess was 40, now 60; "
                                      "amplitude was 10, now 10"),
      NameMessageLine("board", "2 materials changed: shininess was 30, now 35; "
                               "amplitude was 5-30, now 5-30"),
      "", "3 materials differ"}},
    {"only an object's name", {.boardObject = "SField13"}, {},
     {kOtherData, "", "Other data differs"}},
    {"only the bytes after the last chunk", {.tail = {1, 2, 3}}, {.tail = {1, 2, 4}},
     {kOtherData, "", "Other data differs"}},
    {"a backup that does not exist", {}, {}, {"Error - Could not open set1.007", ReasonLine(Why::NotFound)},
     ComparisonOutcome::Trouble, "7"},
    {"a file that is not a set", {}, {},
     {"Error - Bad file format. set1.000 isn't a proper Tessaravine chess set."},
     ComparisonOutcome::Trouble, "0", false},
};
// clang-format on

TEST(CompareWithOther, ReportsEachDifferenceOnceAndTellsTheOutcome) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        SetFolder folder(SetLooking(c.set));
        Bytes other = SetLooking(c.other);
        if (!c.otherIsASet) other.erase(other.begin());
        ASSERT_TRUE(gen::WriteWholeFile(folder.dir.File("set1.000"), other));
        EXPECT_EQ(comparison::CompareWithOther(folder.state, c.otherArgument, &folder.log),
                  c.outcome);
        const std::string otherName = c.otherArgument == "7" ? "set1.007" : "set1.000";
        EXPECT_EQ(folder.log.Lines(), Framed("Comparing set1.DAT with " + otherName, c.body));
    }
}

TEST(OtherSetPath, ANumberUpTo999IsABackupAnythingElseAPath) {
    EXPECT_EQ(comparison::OtherSetPath("k/knights.DAT", "3"), "k/knights.003");
    EXPECT_EQ(comparison::OtherSetPath("k/knights.DAT", "999"), "k/knights.999");
    EXPECT_EQ(comparison::OtherSetPath("k/knights.DAT", "./3"), "./3");
    EXPECT_EQ(comparison::OtherSetPath("k/knights.DAT", "1000"), "1000");
    EXPECT_EQ(comparison::OtherSetPath("k/knights", "3"), std::nullopt);
}

}  // namespace
}  // namespace sorrelwick::test
