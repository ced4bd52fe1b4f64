// The specularity change: which material bytes it scales, and that a failed
// classification makes no backup while a failed rewrite restores the set.

#include "specular/change_specularity.h"

#include <array>

#include "specular/classification.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

using gen::ChessSetBuilder;
using specular::ChangeSpecularity;

constexpr format::ChunkKey kWhite{1, 0x4D}, kBlack{2, 0x4D}, kBoard{3, 0x4D}, kLoose{4, 0x4D};
const std::string kTitle = "Changing specularity of set1.DAT";
const std::string kSuccess = "Specularity changed successfully";
const Lines kSucceeded = Framed(kTitle, {kRenamed, kSuccess});
using Names = std::array<std::string, 4>;
const Names kPlainNames = {"PawnW", "QueenB", "Frame", "Lamp"};

// Amplitude and shininess of the white, black, board and loose material.
using MaterialBytes = std::array<std::pair<std::uint8_t, std::uint8_t>, 4>;

// One material per group and one that no recognised object uses, mixed with
// chunks that must be copied as they are: a texture, an opaque chunk, a
// material of length 0 and a white material too short for its specular
// bytes. The materials come before the objects that name them.
ChessSetBuilder GroupSet(const MaterialBytes& m, const Names& names = kPlainNames) {
    const std::array<format::ChunkKey, 4> keys = {kWhite, kBlack, kBoard, kLoose};
    ChessSetBuilder set;
    set.Signature(0x1234).Material(kWhite, "white.tga", m[0].first, m[0].second);
    set.TextureImage(gen::MakeTga(4, 2, 24));
    for (std::size_t i = 1; i < 4; ++i) set.Material(keys[i], "", m[i].first, m[i].second);
    set.ChunkClaiming(format::kMaterialChunk, 0, 0, {})
        .Chunk(format::kMaterialChunk, 0, {1, 0, 0, 0, 0x4D, 0, 0, 0, 9, 9, 9, 9, 9, 9, 9, 9, 200})
        .Chunk(99, 7, {200, 50, 1, 2, 3});
    for (std::uint32_t i = 0; i < 4; ++i) {
        set.Object({11 + i, 0}, {keys[i]}).ObjectName({11 + i, 0}, names[i]);
    }
    return set;
}

const MaterialBytes kRead = {{{200, 50}, {100, 50}, {77, 9}, {200, 50}}};
const MaterialBytes kScaled = {{{100, 25}, {200, 100}, {0, 255}, {200, 50}}};
// White: S 200, A 50. Black: S 50, A 200. Board: S 0, A 0.
const SpecularPercents kPercents{200, 50, 50, 200, 0, 0};

TEST(ChangeSpecularity, ClassifiedMaterialsAreScaledAndAllElseCopied) {
    struct Case {
        const char* what;
        ChessSetBuilder read;
        SpecularPercents percents;
        ChessSetBuilder written;
        Lines outcome;  // after the rename; without the success line the run fails
    };
    const Names bracketed = {"<Pawn>W", "<Queen>B", "Frame", "Lamp"};
    const Names boardless = {"PawnW", "QueenB", "Table", "Lamp"};
    const MaterialBytes boardOnly = {{kRead[0], kRead[1], kScaled[2], kRead[3]}};
    const std::string bracketedNotRead =
        " recognised: piece names are read as the set's file name selects, and set1.DAT, "
        "named like none of A1_..., B1_..., C1_... or D1_..., selects names like Pawn";
    // Which material gets which class shows in the classification's tests.
    const Case cases[] = {
        {"each group by its own percents",
         GroupSet(kRead),
         kPercents,
         GroupSet(kScaled),
         {"Changed 1 material of the white pieces, 1 of the black pieces and 1 of the board",
          kSuccess}},
        {"all six percents at 100", GroupSet(kRead), {}, GroupSet(kRead), {kSuccess}},
        {"a trailing fragment is dropped",
         GroupSet(kRead).Raw({1, 2, 3, 4, 5}),
         {},
         GroupSet(kRead),
         {kSuccess}},
        // The groups found are changed; each asked for and not found is told.
        {"pieces named in another style",
         GroupSet(kRead, bracketed),
         kPercents,
         GroupSet(boardOnly, bracketed),
         {"Changed 1 material of the board",
          "No white pieces" + bracketedNotRead +
              "W (a name like C1_... selects <Pawn>W, one like D1_... selects <PawnW>)",
          "No black pieces" + bracketedNotRead +
              "B (a name like C1_... selects <Pawn>B, one like D1_... selects <PawnB>)"}},
        {"only a board asked for, and none",
         GroupSet(kRead, boardless),
         {100, 100, 100, 100, 0, 0},
         GroupSet(kRead, boardless),
         {"No board recognised: no object named Field, Frame, LettersW, LettersB or SField01 "
          "to SField64 uses a material of set1.DAT"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetFolder folder(c.read.Bytes());
        folder.state.percents = c.percents;
        EXPECT_EQ(ChangeSpecularity(folder.state, &folder.log), c.outcome.back() == kSuccess);
        Lines body = {kRenamed};
        body.insert(body.end(), c.outcome.begin(), c.outcome.end());
        EXPECT_EQ(folder.log.Lines(), Framed(kTitle, body));
        EXPECT_EQ(folder.Files(),
                  (FolderContents{{"set1.000", c.read.Bytes()}, {"set1.DAT", c.written.Bytes()}}));
    }
}

TEST(ChangeSpecularity, FailuresBeforeTheRewriteMakeNoBackupAndLaterOnesRestore) {
    const Bytes set = GroupSet(kRead).Bytes();
    // The rewrite's operations follow those of the classification pass.
    const auto after = [&set](Operation kind, std::uint64_t nth) {
        SetFolder counting(set);
        specular::MaterialClassTable classes;
        const platform::ScopedFault count(FaultPlan{});
        EXPECT_TRUE(specular::ClassifyMaterials(counting.state, counting.log, classes));
        return FaultPlan{kind, platform::OperationsSeen(kind) + nth};
    };
    // clang-format off
    const std::pair<FaultPlan, std::string> cases[] = {
        // The pass reaches the end of the file, then fails with the message.
        // Allocations: the first material's payload, the first object's
        // (longer than any before), the first object's entry.
        {{Operation::Allocate, 3}, kNoMemory},
        {{Operation::Close, 1}, "Error - Could not close set1.DAT"},
        // The rewrite's own failures show in its tests; one here.
        {after(Operation::Write, 4), kCouldNotWrite},
    };
    // clang-format on
    for (const auto& [plan, message] : cases) {
        SetFolder folder(set);
        folder.state.percents = kPercents;
        EXPECT_EQ(RunArmed(plan, [&] { return ChangeSpecularity(folder.state, &folder.log); }),
                  std::make_pair(false, true));
        EXPECT_EQ(folder.log.Lines(), Framed(kTitle, {message}));
        EXPECT_EQ(folder.Files(), (FolderContents{{"set1.DAT", set}}));
    }

    // Nothing loaded, or no log: no heading.
    SetFolder unloaded(set);
    EXPECT_FALSE(ChangeSpecularity(unloaded.state, nullptr));
    EXPECT_FALSE(ChangeSpecularity(ToolState{}, &unloaded.log));
    EXPECT_EQ(unloaded.log.Lines(), Lines{"Error - Invalid load/save path"});
}

}  // namespace
}  // namespace sorrelwick::test
