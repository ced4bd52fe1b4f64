// The texture listing and, through it, every case of the chunk walk all
// operations share: the signature check, the current texture name rule, the
// walk's endings and its failure branches.

#include "operations/listing.h"

#include <algorithm>
#include <filesystem>

#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

using gen::ChessSetBuilder;
using gen::MakeTga;
using report::TextureInfoLine;

class ListingTest : public SetFixture {
protected:
    bool List(const Bytes& set) {
        Write(set);
        return ListAsItIs();
    }
    bool ListAsItIs() {
        log = {};
        return operations::ListTextures(state, &log);
    }
    static Lines Loading(const Lines& body) { return Framed("Loading set1.DAT", body); }
};

TEST_F(ListingTest, GuardsAndAMissingFile) {
    EXPECT_FALSE(operations::ListTextures(state, nullptr));
    EXPECT_FALSE(operations::ListTextures(ToolState{}, &log));
    EXPECT_EQ(log.Lines(), Lines{"Error - Invalid load path"});
    const std::string notOpened = "Error - Could not open set1.DAT";
    EXPECT_FALSE(ListAsItIs());
    EXPECT_EQ(log.Lines(), Loading({notOpened, ReasonLine(Why::NotFound)}));
    // With a backup, it is named with the way back (which of several: the
    // command line's tests); not when something other than a set stands at
    // the path.
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("set1.000"), {1}));
    EXPECT_FALSE(ListAsItIs());
    EXPECT_EQ(log.Lines(), Loading({notOpened, ReasonLine(Why::NotFound),
                                    "The set's most recent backup is set1.000: bring it "
                                    "back with \"Restore a backup...\""}));
    std::filesystem::create_directory(setPath);
    EXPECT_FALSE(ListAsItIs());
    EXPECT_EQ(log.Lines(), Loading({notOpened, ReasonLine(Why::IsFolder)}));
}

// Only a signature header of length 0 starts a set; a fragment too short
// for a header ends the walk normally, a length past the end fails it
// without taking that memory.
TEST_F(ListingTest, TheWalkStartsAtTheSignatureAndEndsAtAFragmentOrTheEnd) {
    const ChessSetBuilder whole = SetOf({{"t.tga", MakeTga(2, 2, 24)}});
    const std::string t = TextureInfoLine("t.tga", 2, 2, 24);
    const Bytes pastTheEnd = ChessSetBuilder(whole)
                                 .ChunkClaiming(format::kTextureImageChunk, 0, 0xFFFFFFF0, {1, 2})
                                 .Bytes();
    // A report that ends in an error tells a failed listing.
    std::vector<std::pair<Bytes, Lines>> cases = {
        {ChessSetBuilder().Signature(0xDEADBEEF).Bytes(), {}},
        {{}, {kBadFormat}},
        {{0xA4, 0x0D, 0x6D, 0x71, 0, 0, 0, 0, 0, 0, 0}, {kBadFormat}},
        {ChessSetBuilder().Chunk(0x716D0DA5, 0, {}).Bytes(), {kBadFormat}},
        {ChessSetBuilder().ChunkClaiming(format::kSetSignature, 0, 1, {0}).Bytes(), {kBadFormat}},
        {pastTheEnd, {t, kCouldNotRead}},
    };
    for (std::size_t fragment = 1; fragment <= 11; ++fragment) {
        cases.push_back({ChessSetBuilder(whole).Raw(Bytes(fragment, 0xFF)).Bytes(), {t}});
    }
    for (const auto& [set, body] : cases) {
        SCOPED_TRACE(set.size());
        EXPECT_EQ(List(set), body.empty() || !body.back().starts_with("Error - "));
        EXPECT_EQ(log.Lines(), Loading(body));
    }
    const auto allocations = [this](const Bytes& bytes) {
        platform::ScopedFault counting(FaultPlan{});
        List(bytes);
        return platform::OperationsSeen(Operation::Allocate);
    };
    EXPECT_EQ(allocations(pastTheEnd), allocations(whole.Bytes()));  // the earlier payloads'
}

// Chunks of every size, many lying across the edges of the file's buffer
// and each larger than any before it now and then: the walk that takes
// them from the buffer in place gives what reading each header and payload
// apart gives (as it does while a fault plan is armed), and what was built.
TEST_F(ListingTest, ChunksAcrossTheFilesBufferAreWalkedAsReadApart) {
    ChessSetBuilder set;
    set.Signature();
    Lines body;
    for (std::uint16_t i = 0; i < 900; ++i) {
        // Appended, not added: GCC 12 takes "t" + std::string(...) for an
        // overlapping copy at -O2.
        std::string name = "t";
        name.append(i % 37, 'x').append(std::to_string(i)).append(".tga");
        const auto side = static_cast<std::uint16_t>(1 + (i * 7) % 23);
        const Bytes image = MakeTga(side, 2, i % 2 ? 32 : 24);
        if (i % 3 == 0) {
            set.TextureReference(name);
        } else {
            set.Material({i, 7}, name, 1, 2);
        }
        set.TextureImage(image).Chunk(99, i, Bytes(i % 5 == 0 ? 0u : (i * 131u) % 700, 0x5A));
        body.push_back(TextureInfoLine(name, side, 2, i % 2 ? 32 : 24));
    }
    ASSERT_GT(set.Bytes().size(), 4u * 64 * 1024);
    EXPECT_TRUE(List(set.Bytes()));
    EXPECT_EQ(log.Lines(), Loading(body));
    {
        platform::ScopedFault counting(FaultPlan{});
        EXPECT_TRUE(ListAsItIs());
    }
    EXPECT_EQ(log.Lines(), Loading(body));
}

// A texture takes the name of the material or reference right before it;
// nothing outside a chunk's payload is read for it.
TEST_F(ListingTest, TexturesTakeTheNameOfTheNearestMaterialOrReference) {
    // No NUL: the name runs to the payload's end.
    const Bytes unterminated = Cut(gen::TextureReferencePayload("abc"), 1);
    // Too short for the flag: no name.
    const Bytes shortMaterial = Head(gen::MaterialPayload({1, 1}, "x.tga", 0, 0), 27);
    // Flag 0: the name after it is no texture's.
    Bytes unflagged = gen::MaterialPayload({2, 2}, "ghost.tga", 0, 0);
    std::fill_n(unflagged.begin() + 24, 4, 0);
    const Bytes image = MakeTga(1, 1, 8);
    EXPECT_TRUE(List(ChessSetBuilder()
                         .Signature()
                         .Material({1, 1}, "wood.tga")
                         .TextureImage(MakeTga(1024, 512, 32))
                         .TextureReference("marble.tga")
                         .TextureImage(MakeTga(4, 2, 24))
                         .TextureImage(MakeTga(8, 8, 24))
                         .Chunk(format::kMaterialChunk, 0, unflagged)  // clears the name
                         .TextureImage(MakeTga(16, 16, 24))
                         .Material({3, 3}, "felt.tga")
                         .ObjectName({9, 9}, "PawnW")  // any other chunk clears it too
                         .TextureImage(MakeTga(16, 16, 24))
                         .Chunk(77, 0, {1, 2, 3})
                         .TextureImage(MakeTga(16, 16, 24))
                         .Chunk(format::kTextureReferenceChunk, 0, unterminated)
                         .TextureImage(image)
                         .Chunk(format::kTextureReferenceChunk, 0, Bytes(44, 0))
                         .TextureImage(image)
                         .Chunk(format::kMaterialChunk, 0, shortMaterial)
                         .TextureImage(image)
                         .Chunk(format::kTextureReferenceChunk, 0, {})
                         .TextureImage(image)
                         .TextureReference(std::string(300, 'L'))
                         .TextureImage({})
                         .TextureImage(Head(image, 16))
                         .TextureImage(Head(image, 17))
                         .Bytes()));
    EXPECT_EQ(log.Lines(),
              Loading({"  wood.tga                    1024x512   32 bits",
                       TextureInfoLine("marble.tga", 4, 2, 24),
                       TextureInfoLine("marble.tga", 8, 8, 24), TextureInfoLine("abc", 1, 1, 8),
                       TextureInfoLine(std::string(259, 'L'), 1, 1, 8)}));
}

// Reads: 1 the signature; per chunk, its header, then its payload.
// Allocations: the reference's payload, then the second image's, which is
// the first payload too long for the buffer.
TEST_F(ListingTest, FailuresInjectedIntoTheWalk) {
    const Bytes set = SetOf({{"t.tga", MakeTga(2, 2, 24)}}).TextureImage(MakeTga(4, 4, 24)).Bytes();
    const std::string first = TextureInfoLine("t.tga", 2, 2, 24);
    const std::string second = TextureInfoLine("t.tga", 4, 4, 24);
    const std::string cannotClose = "Error - Could not close set1.DAT";
    const std::pair<FaultPlan, Lines> cases[] = {
        {{Operation::Open, 1}, {"Error - Could not open set1.DAT"}},
        {{Operation::Read, 1}, {kBadFormat}},
        {{Operation::Read, 2}, {kCouldNotRead}},         // a header read error is no end
        {{Operation::Read, 5}, {kCouldNotRead}},         // the first image's payload
        {{Operation::Read, 6}, {first, kCouldNotRead}},  // the next header
        {{Operation::Allocate, 2}, {first, kNoMemory}},
        {{Operation::Close, 1}, {first, second, cannotClose}},
        {{Operation::Read, 2, true}, {kCouldNotRead}},
        // A failure the system gives a reason for carries it, on the next line.
        {Armed(Operation::Open, 1, Why::InUse),
         {"Error - Could not open set1.DAT", ReasonLine(Why::InUse)}},
        {Armed(Operation::Read, 5, Why::AccessDenied),
         {kCouldNotRead, ReasonLine(Why::AccessDenied)}},
        {Armed(Operation::Close, 1, Why::NameTooLong),
         {first, second, cannotClose, ReasonLine(Why::NameTooLong)}},
    };
    for (const auto& [plan, body] : cases) {
        EXPECT_EQ(RunArmed(plan, [&] { return List(set); }), std::pair(false, true));
        EXPECT_EQ(log.Lines(), Loading(body));
    }
    EXPECT_TRUE(List(set));
    EXPECT_EQ(log.Lines(), Loading({first, second}));

    const Bytes notASet = ChessSetBuilder().Chunk(1, 0, {}).Bytes();
    EXPECT_EQ(RunArmed({Operation::Close, 1}, [&] { return List(notASet); }),
              std::pair(false, true));
    EXPECT_EQ(log.Lines(), Loading({kBadFormat, cannotClose}));
}

}  // namespace
}  // namespace sorrelwick::test
