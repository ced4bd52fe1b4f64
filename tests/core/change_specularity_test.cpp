#include "specular/change_specularity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "cli/run_command.h"
#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"
#include "platform/fault_seam.h"
#include "report/report_log.h"
#include "specular/classification.h"
#include "support/report_matchers.h"
#include "support/temp_dir.h"

namespace sorrelwick::specular {
namespace {

using gen::ChessSetBuilder;
using platform::Operation;
using Lines = std::vector<std::string>;
using FileBytes = std::vector<std::uint8_t>;

constexpr ChunkKey kWhite{1, 0x4D}, kBlack{2, 0x4D}, kBoard{3, 0x4D}, kLoose{4, 0x4D};
constexpr std::uint32_t kOpaqueKind = 99;
const std::string kTitle = "Changing specularity of set.DAT";
const Lines kSucceeded =
    test::Framed(kTitle, {"Original file renamed to set.000", "Specularity changed successfully"});

struct Specular {
    std::uint8_t amplitude = 0;
    std::uint8_t shininess = 0;
};

// Amplitude and shininess bytes of the white, black, board and loose material.
using MaterialBytes = std::array<Specular, 4>;
using ObjectNames = std::array<std::string, 4>;

const ObjectNames kGroupNames = {"PawnW", "QueenB", "Frame", "Lamp"};

// One material per group and one that no recognised object uses, mixed with
// chunks that must be copied as they are: a texture, an opaque chunk, a
// material of length 0 and a classified material too short for its specular
// bytes. The materials come before the objects that name them.
ChessSetBuilder GroupSet(const MaterialBytes& m, const ObjectNames& names = kGroupNames) {
    const std::array<ChunkKey, 4> materials = {kWhite, kBlack, kBoard, kLoose};
    ChessSetBuilder set;
    set.Signature(0x1234).Material(kWhite, "white.tga", m[0].amplitude, m[0].shininess);
    set.TextureImage(gen::MakeTga(4, 2, 24));
    for (std::size_t i = 1; i < 4; ++i) {
        set.Material(materials[i], "", m[i].amplitude, m[i].shininess);
    }
    set.ChunkClaiming(format::kMaterialChunk, 0, 0, {})
        .Chunk(format::kMaterialChunk, 0, {1, 0, 0, 0, 0x4D, 0, 0, 0, 9, 9, 9, 9, 9, 9, 9, 9, 200})
        .Chunk(kOpaqueKind, 7, {200, 50, 1, 2, 3});
    for (std::uint32_t i = 0; i < 4; ++i) {
        set.Object({11 + i, 0}, {materials[i]}).ObjectName({11 + i, 0}, names[i]);
    }
    return set;
}

const MaterialBytes kRead = {{{200, 50}, {100, 50}, {77, 9}, {200, 50}}};
const MaterialBytes kScaled = {{{100, 25}, {200, 100}, {0, 255}, {200, 50}}};

// White: S 200, A 50. Black: S 50, A 200. Board: S 0, A 0.
const SpecularPercents kPercents{200, 50, 50, 200, 0, 0};

class ChangeSpecularityTest : public ::testing::Test {
  protected:
    void SetUp() override { SetLoadedSet(state_, SetPath()); }
    void TearDown() override { platform::DisarmFault(); }

    std::string SetPath() const { return dir_.File("set.DAT"); }
    bool Run() { return ChangeSpecularity(state_, &log_); }
    FileBytes SetBytes() const { return gen::ReadWholeFile(SetPath()); }

    test::TempDir dir_;
    ToolState state_;
    report::MemoryReportLog log_;
};

TEST_F(ChangeSpecularityTest, ClassifiedMaterialsAreScaledAndAllElseCopied) {
    struct RunCase {
        const char* what;
        ChessSetBuilder read;
        SpecularPercents percents;
        ChessSetBuilder written;
    };
    const ObjectNames unrecognised = {"Pawn", "Queen", "Frames", "Lamp"};
    const std::vector<RunCase> cases = {
        {"each group by its own percents", GroupSet(kRead), kPercents, GroupSet(kScaled)},
        {"all six percents at 100", GroupSet(kRead), {}, GroupSet(kRead)},
        {"no recognised object", GroupSet(kRead, unrecognised), kPercents,
         GroupSet(kRead, unrecognised)},
        {"the later name decides",
         GroupSet(kRead).Object({20, 0}, {kWhite}).ObjectName({20, 0}, "KingB"), kPercents,
         GroupSet({{{255, 100}, kScaled[1], kScaled[2], kScaled[3]}})
             .Object({20, 0}, {kWhite})
             .ObjectName({20, 0}, "KingB")},
        {"a trailing fragment is not carried over",
         GroupSet(kRead).Raw({1, 2, 3, 4, 5}),
         {},
         GroupSet(kRead)},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        ToolState state;
        SetLoadedSet(state, dir.File("set.DAT"));
        state.percents = c.percents;
        ASSERT_TRUE(c.read.WriteTo(state.setPath));
        report::MemoryReportLog log;
        EXPECT_TRUE(ChangeSpecularity(state, &log));
        EXPECT_EQ(log.Lines(), kSucceeded);
        EXPECT_EQ(dir.Entries(), (Lines{"set.000", "set.DAT"}));
        EXPECT_EQ(gen::ReadWholeFile(dir.File("set.000")), c.read.Bytes());
        EXPECT_EQ(gen::ReadWholeFile(state.setPath), c.written.Bytes());
    }
}

TEST_F(ChangeSpecularityTest, NothingLoadedOrNoLogGivesNoHeading) {
    ToolState none;
    EXPECT_FALSE(ChangeSpecularity(none, &log_));
    EXPECT_EQ(log_.Lines(), Lines{"Error - Invalid load/save path"});
    EXPECT_FALSE(ChangeSpecularity(state_, nullptr));
}

// How many operations of `kind` the classification pass of the set at the
// loaded path takes; the rewrite's own operations come after these.
std::uint64_t ClassificationOperations(const ToolState& state, Operation kind) {
    platform::DisarmFault();
    report::MemoryReportLog log;
    MaterialClassTable classes;
    EXPECT_TRUE(ClassifyMaterials(state, log, classes));
    const std::uint64_t seen = platform::OperationsSeen(kind);
    platform::DisarmFault();
    return seen;
}

struct FaultCase {
    const char* what;
    platform::FaultPlan fault;
    Lines body;
};

TEST_F(ChangeSpecularityTest, FailedClassificationMakesNoBackup) {
    ASSERT_TRUE(GroupSet(kRead).WriteTo(SetPath()));
    // The pass allocates every payload and one entry per object: the entry of
    // the first object comes right after that object's payload.
    const FileBytes set = SetBytes();
    const std::uint64_t firstObjectEntry = 9;
    const std::vector<FaultCase> cases = {
        {"AddObject refused",
         {Operation::Allocate, firstObjectEntry, false},
         {"Error - Not enough memory"}},
        {"set can't be closed", {Operation::Close, 1, false}, {"Error - Could not close set.DAT"}},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.what);
        report::MemoryReportLog log;
        {
            platform::ScopedFault fault(c.fault);
            EXPECT_FALSE(ChangeSpecularity(state_, &log));
        }
        EXPECT_EQ(log.Lines(), test::Framed(kTitle, c.body));
        EXPECT_EQ(dir_.Entries(), Lines{"set.DAT"});
        EXPECT_EQ(SetBytes(), set);
    }

    const FileBytes badHeader =
        ChessSetBuilder().ChunkClaiming(format::kSetSignature, 0, 4, {1, 2, 3, 4}).Bytes();
    ASSERT_TRUE(gen::WriteWholeFile(SetPath(), badHeader));
    EXPECT_FALSE(Run());
    EXPECT_EQ(
        log_.Lines(),
        test::Framed(kTitle,
                     {"Error - Bad file format. set.DAT isn't a proper Tessaravine chess set."}));
    EXPECT_EQ(dir_.Entries(), Lines{"set.DAT"});
    EXPECT_EQ(SetBytes(), badHeader);
}

TEST_F(ChangeSpecularityTest, RewriteFailuresRestoreTheSet) {
    ASSERT_TRUE(GroupSet(kRead).WriteTo(SetPath()));
    const FileBytes set = SetBytes();
    state_.percents = kPercents;
    const auto after = [this](Operation kind, std::uint64_t nth) {
        return platform::FaultPlan{kind, ClassificationOperations(state_, kind) + nth, false};
    };
    const std::vector<FaultCase> cases = {
        {"backup can't be opened", after(Operation::Open, 1), {"Error - Could not open set.000"}},
        {"new file can't be created",
         after(Operation::Open, 2),
         {"Error - Could not create set.DAT"}},
        {"signature header can't be written",
         after(Operation::Write, 1),
         {"Error - Could not write set.DAT"}},
        {"a chunk can't be written",
         after(Operation::Write, 4),
         {"Error - Could not write set.DAT"}},
        {"a payload can't be read", after(Operation::Read, 4), {"Error - Could not read set.DAT"}},
        {"no memory for a payload", after(Operation::Allocate, 3), {"Error - Not enough memory"}},
        {"backup can't be closed", after(Operation::Close, 1), {"Error - Could not close set.000"}},
        {"new file can't be closed",
         after(Operation::Close, 2),
         {"Error - Could not close set.DAT"}},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.what);
        report::MemoryReportLog log;
        {
            platform::ScopedFault fault(c.fault);
            EXPECT_FALSE(ChangeSpecularity(state_, &log));
            EXPECT_TRUE(platform::FaultFired());
        }
        EXPECT_EQ(log.Lines(), test::Framed(kTitle, c.body));
        EXPECT_EQ(dir_.Entries(), Lines{"set.DAT"});
        EXPECT_EQ(SetBytes(), set);
    }
}

TEST_F(ChangeSpecularityTest, AnySingleFailureLeavesTheSetAsItWas) {
    ASSERT_TRUE(GroupSet(kRead).WriteTo(SetPath()));
    const FileBytes set = SetBytes();
    state_.percents = kPercents;
    std::uint64_t operations = 0;
    {
        test::TempDir scratch;
        ToolState state;
        SetLoadedSet(state, scratch.File("set.DAT"));
        ASSERT_TRUE(gen::WriteWholeFile(state.setPath, set));
        report::MemoryReportLog log;
        platform::DisarmFault();
        ASSERT_TRUE(ChangeSpecularity(state, &log));
        operations = platform::OperationsSeen();
    }
    for (std::uint64_t nth = 1; nth <= operations; ++nth) {
        SCOPED_TRACE("operation " + std::to_string(nth));
        report::MemoryReportLog log;
        platform::ScopedFault fault({std::nullopt, nth, false});
        EXPECT_FALSE(ChangeSpecularity(state_, &log));
        const Lines& lines = log.Lines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "Specularity changed successfully"), 0);
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
            return line.starts_with("Error - ");
        }));
        EXPECT_EQ(dir_.Entries(), Lines{"set.DAT"});
        EXPECT_EQ(SetBytes(), set);
    }
}

TEST_F(ChangeSpecularityTest, AllBackupNamesTakenThenTheNextRunStartsAfresh) {
    ASSERT_TRUE(GroupSet(kRead).WriteTo(SetPath()));
    const FileBytes set = SetBytes();
    for (int n = 0; n < 1000; ++n) {
        const std::string number = std::to_string(1000 + n).substr(1);
        ASSERT_TRUE(gen::WriteWholeFile(dir_.File("set." + number), {1}));
    }
    state_.percents = kPercents;
    EXPECT_FALSE(Run());
    EXPECT_EQ(log_.Lines(),
              (Lines{test::kSep, kTitle, "",
                     "Error - There are already 1000 set.DAT backups. Please remove at least one "
                     "and retry."}));
    EXPECT_EQ(SetBytes(), set);
    EXPECT_EQ(dir_.Entries().size(), 1001u);

    // The white material of the first set, in a set where no object names it.
    test::TempDir other;
    SetLoadedSet(state_, other.File("other.DAT"));
    const ChessSetBuilder loose = ChessSetBuilder().Signature().Material(kWhite, "", 200, 50);
    ASSERT_TRUE(loose.WriteTo(state_.setPath));
    report::MemoryReportLog log;
    EXPECT_TRUE(ChangeSpecularity(state_, &log));
    EXPECT_EQ(gen::ReadWholeFile(state_.setPath), loose.Bytes());
    EXPECT_EQ(other.Entries(), (Lines{"other.000", "other.DAT"}));
}

TEST_F(ChangeSpecularityTest, CommandLineRunsWithTheRequestedPercents) {
    ASSERT_TRUE(GroupSet(kRead).WriteTo(SetPath()));
    cli::CliRequest request;
    request.command = cli::Command::Specular;
    request.setPath = SetPath();
    request.percents = kPercents;
    const cli::OperationRunner run = cli::RunnerFor(cli::Command::Specular);
    ASSERT_NE(run, nullptr);
    EXPECT_TRUE(run(request, state_, log_));
    EXPECT_EQ(log_.Lines(), kSucceeded);
    EXPECT_EQ(SetBytes(), GroupSet(kScaled).Bytes());
}

}  // namespace
}  // namespace sorrelwick::specular
