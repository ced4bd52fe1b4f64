// The texture listing and, through it, every case of the chunk walk: the
// signature check, the current texture name rule, the walk's endings and its
// failure branches.

#include <gtest/gtest.h>

#include "generators/tga_builder.h"
#include "operations/listing.h"
#include "platform/fault_seam.h"
#include "report/lines.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

using gen::ChessSetBuilder;
using gen::MakeTga;
using platform::FaultPlan;
using platform::Operation;
using report::TextureInfoLine;
using Lines = std::vector<std::string>;

const std::string kBadFormat =
    "Error - Bad file format. set1.DAT isn't a proper Tessaravine chess set.";

class ListingTest : public SetFixture {
protected:
    bool List() { return operations::ListTextures(state, &log); }
    Lines Loading(const Lines& body) { return Framed("Loading set1.DAT", body); }
};

TEST_F(ListingTest, GuardsAndOpenFailure) {
    EXPECT_FALSE(operations::ListTextures(state, nullptr));
    EXPECT_FALSE(List());
    EXPECT_EQ(log.Lines(), Lines{"Error - Invalid load path"});

    SetLoadedSet(state, dir.File("set1.DAT"));
    EXPECT_FALSE(List());
    EXPECT_EQ(log.Lines().size(), 1 + 6u);
    EXPECT_EQ(Lines(log.Lines().begin() + 1, log.Lines().end()),
              Loading({"Error - Could not open set1.DAT"}));
}

TEST_F(ListingTest, AFolderIsNotAChessSet) {
    std::filesystem::create_directory(dir.Path() / "set1.DAT");
    SetLoadedSet(state, dir.File("set1.DAT"));
    EXPECT_FALSE(List());
    EXPECT_EQ(log.Lines(), Loading({"Error - Could not open set1.DAT"}));
}

TEST_F(ListingTest, SignatureOnlyIsAnEmptySetWhateverItsVariant) {
    WriteSet(ChessSetBuilder().Signature(0xDEADBEEF));
    EXPECT_TRUE(List());
    EXPECT_EQ(log.Lines(), Loading({}));
}

TEST_F(ListingTest, RejectedFirstHeaders) {
    const std::vector<std::vector<std::uint8_t>> files = {
        {},
        {0xA4, 0x0D, 0x6D, 0x71, 0, 0, 0, 0, 0, 0, 0},
        ChessSetBuilder().Chunk(0x716D0DA5, 0, {}).Bytes(),
        ChessSetBuilder().ChunkClaiming(format::kSetSignature, 0, 1, {0}).Bytes(),
    };
    for (const auto& bytes : files) {
        log = {};
        WriteSet(bytes);
        EXPECT_FALSE(List());
        EXPECT_EQ(log.Lines(), Loading({kBadFormat}));
    }
}

TEST_F(ListingTest, TexturesTakeTheNameOfTheNearestMaterialOrReference) {
    WriteSet(ChessSetBuilder()
                 .Signature()
                 .Material({1, 1}, "wood.tga")
                 .TextureImage(MakeTga(1024, 512, 32))
                 .TextureReference("marble.tga")
                 .TextureImage(MakeTga(4, 2, 24))
                 .TextureImage(MakeTga(8, 8, 24))
                 .Material({2, 2}, "")  // flag 0 clears the name
                 .TextureImage(MakeTga(16, 16, 24))
                 .Material({3, 3}, "felt.tga")
                 .ObjectName({9, 9}, "PawnW")  // any other chunk clears it too
                 .TextureImage(MakeTga(16, 16, 24))
                 .Chunk(77, 0, {1, 2, 3})
                 .TextureImage(MakeTga(16, 16, 24)));
    EXPECT_TRUE(List());
    const std::string wood = TextureInfoLine("wood.tga", 1024, 512, 32);
    EXPECT_EQ(wood, "  wood.tga                    1024x512   32 bits");
    EXPECT_EQ(log.Lines(), Loading({wood, TextureInfoLine("marble.tga", 4, 2, 24),
                                    TextureInfoLine("marble.tga", 8, 8, 24)}));
}

TEST_F(ListingTest, ImagesWithoutAWholeHeaderAreNotTextures) {
    std::vector<std::uint8_t> sixteen = MakeTga(2, 2, 24);
    sixteen.resize(16);
    std::vector<std::uint8_t> seventeen = MakeTga(2, 2, 24);
    seventeen.resize(17);
    WriteSet(ChessSetBuilder()
                 .Signature()
                 .TextureReference("a.tga")
                 .TextureImage({})
                 .TextureImage(sixteen)
                 .TextureImage(seventeen));
    EXPECT_TRUE(List());
    EXPECT_EQ(log.Lines(), Loading({TextureInfoLine("a.tga", 2, 2, 24)}));
}

TEST_F(ListingTest, NamesNeverReadPastTheirPayload) {
    std::vector<std::uint8_t> unterminated = gen::TextureReferencePayload("abc");
    unterminated.pop_back();  // no NUL: the name runs to the payload's end
    std::vector<std::uint8_t> shortMaterial = gen::MaterialPayload({1, 1}, "x.tga", 0, 0);
    shortMaterial.resize(27);  // too short for the flag: no name
    WriteSet(ChessSetBuilder()
                 .Signature()
                 .Chunk(format::kTextureReferenceChunk, 0, unterminated)
                 .TextureImage(MakeTga(1, 1, 8))
                 .Chunk(format::kTextureReferenceChunk, 0, std::vector<std::uint8_t>(44, 0))
                 .TextureImage(MakeTga(1, 1, 8))
                 .Chunk(format::kMaterialChunk, 0, shortMaterial)
                 .TextureImage(MakeTga(1, 1, 8))
                 .Chunk(format::kTextureReferenceChunk, 0, {})
                 .TextureImage(MakeTga(1, 1, 8))
                 .TextureReference(std::string(300, 'L'))
                 .TextureImage(MakeTga(1, 1, 8)));
    EXPECT_TRUE(List());
    EXPECT_EQ(log.Lines(), Loading({TextureInfoLine("abc", 1, 1, 8),
                                    TextureInfoLine(std::string(259, 'L'), 1, 1, 8)}));
}

TEST_F(ListingTest, TrailingFragmentsEndTheWalkNormally) {
    for (std::size_t fragment = 1; fragment <= 11; ++fragment) {
        log = {};
        ChessSetBuilder set;
        set.Signature().TextureReference("t.tga").TextureImage(MakeTga(2, 2, 24));
        set.Raw(std::vector<std::uint8_t>(fragment, 0xFF));
        WriteSet(set);
        EXPECT_TRUE(List()) << fragment;
        EXPECT_EQ(log.Lines(), Loading({TextureInfoLine("t.tga", 2, 2, 24)}));
    }
}

TEST_F(ListingTest, ALengthPastTheEndFailsWithoutTakingThatMemory) {
    WriteSet(ChessSetBuilder()
                 .Signature()
                 .TextureReference("t.tga")
                 .TextureImage(MakeTga(2, 2, 24))
                 .ChunkClaiming(format::kTextureImageChunk, 0, 0xFFFFFFF0, {1, 2, 3}));
    platform::ScopedFault counting(FaultPlan{});
    EXPECT_FALSE(List());
    EXPECT_EQ(platform::OperationsSeen(Operation::Allocate), 2u);  // the two earlier payloads
    EXPECT_EQ(log.Lines(), Loading({TextureInfoLine("t.tga", 2, 2, 24),
                                    "Error - Could not read set1.DAT"}));
}

// Reads: 1 the signature; per chunk, its header, then its payload.
TEST_F(ListingTest, FailuresInjectedIntoTheWalk) {
    const ChessSetBuilder set = ChessSetBuilder()
                                    .Signature()
                                    .TextureReference("t.tga")
                                    .TextureImage(MakeTga(2, 2, 24))
                                    .TextureImage(MakeTga(4, 4, 24));
    const std::string first = TextureInfoLine("t.tga", 2, 2, 24);
    const std::string second = TextureInfoLine("t.tga", 4, 4, 24);
    const std::string cannotRead = "Error - Could not read set1.DAT";
    struct Case {
        FaultPlan plan;
        Lines body;
    };
    const Case cases[] = {
        {{Operation::Open, 1}, {"Error - Could not open set1.DAT"}},
        {{Operation::Read, 1}, {kBadFormat}},
        {{Operation::Read, 2}, {cannotRead}},                 // a header read error is no end
        {{Operation::Read, 5}, {cannotRead}},                 // the first image's payload
        {{Operation::Read, 6}, {first, cannotRead}},          // the next header
        {{Operation::Read, 7}, {first, cannotRead}},          // the next payload
        {{Operation::Allocate, 3}, {first, "Error - Not enough memory"}},
        {{Operation::Close, 1}, {first, second, "Error - Could not close set1.DAT"}},
        {{Operation::Read, 2, true}, {cannotRead}},
    };
    WriteSet(set);
    for (const Case& c : cases) {
        log = {};
        platform::ScopedFault fault(c.plan);
        EXPECT_FALSE(List());
        EXPECT_TRUE(platform::FaultFired());
        EXPECT_EQ(log.Lines(), Loading(c.body));
    }
    log = {};
    EXPECT_TRUE(List());
    EXPECT_EQ(log.Lines(), Loading({first, second}));
}

TEST_F(ListingTest, ABadHeaderIsReportedAndTheFileStillClosed) {
    WriteSet(ChessSetBuilder().Chunk(1, 0, {}));
    platform::ScopedFault fault(FaultPlan{Operation::Close, 1});
    EXPECT_FALSE(List());
    EXPECT_EQ(log.Lines(), Loading({kBadFormat, "Error - Could not close set1.DAT"}));
}

}  // namespace
}  // namespace sorrelwick::test
