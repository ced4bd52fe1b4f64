// The classification pass: which material gets which class from the objects
// that use it, and how a refused table entry fails the pass. The walk's own
// failures are shown once, in the listing's tests.

#include "specular/classification.h"

#include "support/set_fixture.h"

namespace sorrelwick::specular {
namespace {

using enum SpecularClass;
using gen::ChessSetBuilder;
using test::Cut;
using test::Head;
using test::Lines;

// Objects and the materials they use.
constexpr ChunkKey O1{0x101, 1}, O2{0x102, 1}, O3{0x103, 1}, O4{0x104, 1}, O5{0x105, 1},
    O6{0x106, 1};
constexpr ChunkKey M1{1, 0x4D}, M2{2, 0x4D}, M3{3, 0x4D}, M4{4, 0x4D}, M5{5, 0x4D}, M6{6, 0x4D};
constexpr std::uint32_t kOpaqueKind = 99;

struct Pass {
    bool result = false;
    Lines lines;
    MaterialClassTable classes;
};

Pass Classify(const ChessSetBuilder& set, const std::string& setName = "set.DAT") {
    test::SetFolder folder(set.Bytes(), setName);
    Pass pass;
    pass.result = ClassifyMaterials(folder.state, folder.log, pass.classes);
    pass.lines = folder.log.Lines();
    return pass;
}

// The signature, then for each object its chunk and its name chunk.
struct Named {
    ChunkKey object;
    std::vector<ChunkKey> materials;
    std::string name;
};
ChessSetBuilder Set(const std::vector<Named>& objects = {}) {
    ChessSetBuilder set;
    set.Signature();
    for (const Named& o : objects) set.Object(o.object, o.materials).ObjectName(o.object, o.name);
    return set;
}

test::Bytes WithCount(test::Bytes objectPayload, std::uint32_t n) {
    format::PutU32At(objectPayload, 50, n);
    return objectPayload;
}

TEST(ClassifyMaterials, ObjectsLinkMaterialsToTheClassOfTheirName) {
    struct Case {
        const char* what;
        ChessSetBuilder set;
        std::vector<std::pair<ChunkKey, SpecularClass>> expected;  // every other key: None
        std::string setName = "set.DAT";
    };
    // clang-format off
    const Case cases[] = {
        {"signature only", Set(), {}},
        {"one object per group",
         Set({{O1, {M1, M2}, "PawnW"}, {O2, {M3}, "SField12"}, {O3, {M4}, "R_KnightB"},
              {O4, {M5}, "Table"}}),
         {{M1, WhitePieces}, {M2, WhitePieces}, {M3, Board}, {M4, BlackPieces}, {M5, None}}},
        {"no recognised object", Set({{O1, {M1}, "Lamp"}}).Object(O2, {M2}), {{M1, None}}},
        {"name chunk before its object chunk", Set().ObjectName(O1, "PawnW").Object(O1, {M1}),
         {{M1, None}}},
        {"material count 0", Set({{O1, {}, "PawnW"}}), {}},
        {"object chunk of another variant", Set().Object(O1, {M1}, 101).ObjectName(O1, "PawnW"),
         {{M1, None}}},
        {"the name that comes later decides; an unrecognised one changes nothing",
         Set().Object(O1, {M1}).Object(O2, {M1, M2}).Object(O3, {M1})
             .ObjectName(O2, "PawnB").ObjectName(O1, "PawnW").ObjectName(O3, "Lamp"),
         {{M1, WhitePieces}, {M2, BlackPieces}}},
        {"each entry serves one name chunk; an empty name uses one up",
         Set().Object(O1, {M1}).Object(O1, {M2})
             .ObjectName(O1, "").ObjectName(O1, "PawnW").ObjectName(O1, "KingB"),
         {{M1, WhitePieces}, {M2, None}}},
        {"chunks of length 0 are passed over, whatever the buffer holds",
         Set().Object(O1, {M1})
             .Chunk(kOpaqueKind, 0, gen::ObjectNamePayload(O1, "PawnW"))
             .ChunkClaiming(format::kObjectNameChunk, 0, 0, {})
             .Chunk(kOpaqueKind, 0, gen::ObjectPayload(O2, {M2}))
             .ChunkClaiming(format::kObjectChunk, 100, 0, {})
             .ObjectName(O2, "PawnW"),
         {{M1, None}, {M2, None}}},
        {"payloads too short are passed over; a name runs to NUL or payload end",
         Set().Chunk(format::kObjectChunk, 100, Head(gen::ObjectPayload(O1, {}), 53))
             .ObjectName(O1, "PawnW")
             .Chunk(format::kObjectChunk, 100, Head(gen::ObjectPayload(O2, {M2, M3}), 62))
             .ObjectName(O2, "PawnW")
             .Chunk(format::kObjectChunk, 100, WithCount(gen::ObjectPayload(O3, {M3}), 0xFFFFFFFF))
             .Chunk(format::kObjectChunk, 100, WithCount(gen::ObjectPayload(O3, {}), 0x20000000))
             .ObjectName(O3, "PawnW")
             .Object(O4, {M4})
             .Chunk(format::kObjectNameChunk, 0, Head(gen::ObjectNamePayload(O4, ""), 8))
             .ObjectName(O4, "PawnB")
             .Object(O5, {M5})
             .Chunk(format::kObjectNameChunk, 0, Cut(gen::ObjectNamePayload(O5, "KingW"), 1))
             .Object(O6, {M6}).ObjectName(O6, std::string("Pawn\0W", 6)),
         {{M1, None}, {M2, None}, {M3, None}, {M4, BlackPieces}, {M5, WhitePieces}, {M6, None}}},
        // Which style a set name selects shows in the naming rules' tests.
        {"the style from the set name", Set({{O1, {M1}, "<b_PawnW>"}, {O2, {M2}, "<Pawn>B"}}),
         {{M1, WhitePieces}, {M2, None}}, "D1_set.DAT"},
        {"a trailing fragment is ignored", Set({{O1, {M1}, "Frame"}}).Raw({1, 2, 3, 4, 5}),
         {{M1, Board}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Pass pass = Classify(c.set, c.setName);
        EXPECT_TRUE(pass.result);
        EXPECT_EQ(pass.lines, Lines{});
        std::size_t stored = 0;
        for (const auto& [key, cls] : c.expected) {
            EXPECT_EQ(pass.classes.ClassOf(key), cls) << key.first;
            if (cls != None) ++stored;
        }
        EXPECT_EQ(pass.classes.Size(), stored);
    }
}

// Lists longer than a batch of waiting classes and more names than it holds:
// the classes still land in the order the names come.
TEST(ClassifyMaterials, LongListsAndManyNamesKeepTheOrderOfTheNames) {
    constexpr std::uint32_t kMaterials = 300;
    constexpr std::uint32_t kBoardMaterials = 10;
    std::vector<ChunkKey> materials;
    for (std::uint32_t i = 0; i < kMaterials; ++i) materials.push_back({i, 0x4D});
    ChessSetBuilder set = Set({{O1, materials, "PawnW"}});
    for (std::uint32_t i = 0; i < kMaterials; ++i) {
        set.Object({i, 2}, {materials[i]}).ObjectName({i, 2}, i % 2 ? "Lamp" : "KingB");
    }
    const std::vector<ChunkKey> first(materials.begin(), materials.begin() + kBoardMaterials);
    set.Object(O2, first).ObjectName(O2, "Frame");

    const Pass pass = Classify(set);
    EXPECT_TRUE(pass.result);
    for (std::uint32_t i = 0; i < kMaterials; ++i) {
        const SpecularClass expected =
            i < kBoardMaterials ? Board : (i % 2 ? WhitePieces : BlackPieces);
        EXPECT_EQ(pass.classes.ClassOf(materials[i]), expected) << i;
    }
}

// The walk takes memory for a payload longer than any before it; each
// AddObject asks for one allocation, the classes for a block of them at a
// time, and the table for one once the walk is over. In this set of no
// material chunks the order is: 1 object O1's payload, 2 AddObject O1,
// 3 the first class's block, 4 and 5 AddObject O2 and O3, 6 the table.
const ChessSetBuilder kThreeNamedObjects =
    Set({{O1, {M1}, "PawnW"}, {O2, {M2}, "PawnB"}, {O3, {M3}, "KingW"}});

TEST(ClassifyMaterials, RefusedMemoryFailsThePassAfterTheWholeWalk) {
    for (const std::uint64_t allocation : {2u, 3u, 6u}) {
        platform::ScopedFault fault({platform::Operation::Allocate, allocation, false});
        const Pass pass = Classify(kThreeNamedObjects);
        EXPECT_TRUE(platform::FaultFired()) << allocation;
        EXPECT_FALSE(pass.result) << allocation;
        EXPECT_EQ(pass.lines, Lines{"Error - Not enough memory"}) << allocation;
        EXPECT_EQ(pass.classes.Size(), 0u) << allocation;
    }
    // A later walk failure replaces the held one.
    platform::ScopedFault fault({platform::Operation::Allocate, 3, false});
    const Pass pass =
        Classify(ChessSetBuilder(kThreeNamedObjects).ChunkClaiming(kOpaqueKind, 0, 50, {1}));
    EXPECT_TRUE(platform::FaultFired());
    EXPECT_FALSE(pass.result);
    EXPECT_EQ(pass.lines, Lines{"Error - Could not read set.DAT"});
}

}  // namespace
}  // namespace sorrelwick::specular
