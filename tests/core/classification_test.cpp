#include "specular/classification.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generators/chess_set_builder.h"
#include "platform/fault_seam.h"
#include "report/report_log.h"
#include "support/specular_printing.h"
#include "support/temp_dir.h"

namespace sorrelwick::specular {
namespace {

using enum SpecularClass;
using gen::ChessSetBuilder;
using Lines = std::vector<std::string>;

// Objects and the materials they use.
constexpr ChunkKey O1{0x101, 1}, O2{0x102, 1}, O3{0x103, 1}, O4{0x104, 1}, O5{0x105, 1},
    O6{0x106, 1};
constexpr ChunkKey M1{1, 0x4D}, M2{2, 0x4D}, M3{3, 0x4D}, M4{4, 0x4D}, M5{5, 0x4D}, M6{6, 0x4D};
constexpr std::uint32_t kOpaqueKind = 99;

struct PassOutcome {
    bool result = false;
    Lines lines;
    MaterialClassTable classes;
};

PassOutcome Classify(const ChessSetBuilder& set, const std::string& setName = "set.DAT") {
    test::TempDir dir;
    EXPECT_TRUE(set.WriteTo(dir.File(setName)));
    ToolState state;
    SetLoadedSet(state, dir.File(setName));
    report::MemoryReportLog log;
    PassOutcome outcome;
    outcome.result = ClassifyMaterials(state, log, outcome.classes);
    outcome.lines = log.Lines();
    return outcome;
}

ChessSetBuilder Set() {
    return std::move(ChessSetBuilder().Signature());
}

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

std::vector<std::uint8_t> WithCount(std::vector<std::uint8_t> objectPayload, std::uint32_t n) {
    format::PutU32At(objectPayload, 50, n);
    return objectPayload;
}

std::vector<std::uint8_t> NamePayloadBytes(ChunkKey key, const std::string& nameBytes) {
    std::vector<std::uint8_t> payload = Cut(gen::ObjectNamePayload(key, ""), 8);
    payload.insert(payload.end(), nameBytes.begin(), nameBytes.end());
    return payload;
}

struct ClassCase {
    const char* what;
    std::string setName;
    ChessSetBuilder set;
    std::vector<std::pair<ChunkKey, SpecularClass>> expected;  // every other key: None
};

void ExpectClassified(const ClassCase& c) {
    SCOPED_TRACE(c.what);
    const PassOutcome outcome = Classify(c.set, c.setName);
    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(outcome.lines, Lines{});
    std::size_t stored = 0;
    for (const auto& [key, cls] : c.expected) {
        EXPECT_EQ(outcome.classes.ClassOf(key), cls) << key.first;
        if (cls != None) ++stored;
    }
    EXPECT_EQ(outcome.classes.Size(), stored);
}

TEST(ClassifyMaterials, ObjectsLinkMaterialsToTheClassOfTheirName) {
    const std::vector<ClassCase> cases = {
        {"signature only", "set.DAT", Set(), {}},
        {"one object per group",
         "set.DAT",
         Set()
             .Material(M1, "w.tga")
             .Material(M2, "")
             .Material(M3, "")
             .Material(M4, "")
             .Material(M5, "")
             .Object(O1, {M1, M2})
             .ObjectName(O1, "PawnW")
             .Object(O2, {M3})
             .ObjectName(O2, "SField12")
             .Object(O3, {M4})
             .ObjectName(O3, "R_KnightB")
             .Object(O4, {M5})
             .ObjectName(O4, "Table"),
         {{M1, WhitePieces}, {M2, WhitePieces}, {M3, Board}, {M4, BlackPieces}, {M5, None}}},
        {"no recognised object",
         "set.DAT",
         Set().Object(O1, {M1}).ObjectName(O1, "Lamp").Object(O2, {M2}),
         {{M1, None}}},
        {"name chunk before its object chunk",
         "set.DAT",
         Set().ObjectName(O1, "PawnW").Object(O1, {M1}),
         {{M1, None}}},
        {"material count 0", "set.DAT", Set().Object(O1, {}).ObjectName(O1, "PawnW"), {}},
        {"object chunk of another variant",
         "set.DAT",
         Set().Object(O1, {M1}, 101).ObjectName(O1, "PawnW"),
         {{M1, None}}},
        {"the name that comes later decides; an unrecognised one changes nothing",
         "set.DAT",
         Set()
             .Object(O1, {M1})
             .Object(O2, {M1, M2})
             .Object(O3, {M1})
             .ObjectName(O2, "PawnB")
             .ObjectName(O1, "PawnW")
             .ObjectName(O3, "Lamp"),
         {{M1, WhitePieces}, {M2, BlackPieces}}},
        {"each entry serves one name chunk; an empty name uses one up",
         "set.DAT",
         Set()
             .Object(O1, {M1})
             .Object(O1, {M2})
             .ObjectName(O1, "")
             .ObjectName(O1, "PawnW")
             .ObjectName(O1, "KingB"),
         {{M1, WhitePieces}, {M2, None}}},
        {"chunks of length 0 are passed over, whatever the buffer holds",
         "set.DAT",
         Set()
             .Object(O1, {M1})
             .Chunk(kOpaqueKind, 0, gen::ObjectNamePayload(O1, "PawnW"))
             .ChunkClaiming(format::kObjectNameChunk, 0, 0, {})
             .Chunk(kOpaqueKind, 0, gen::ObjectPayload(O2, {M2}))
             .ChunkClaiming(format::kObjectChunk, 100, 0, {})
             .ObjectName(O2, "PawnW"),
         {{M1, None}, {M2, None}}},
        {"payloads too short are passed over; a name runs to NUL or payload end",
         "set.DAT",
         Set()
             .Chunk(format::kObjectChunk, 100, Cut(gen::ObjectPayload(O1, {}), 53))
             .ObjectName(O1, "PawnW")
             .Chunk(format::kObjectChunk, 100, Cut(gen::ObjectPayload(O2, {M2, M3}), 62))
             .ObjectName(O2, "PawnW")
             .Chunk(format::kObjectChunk, 100, WithCount(gen::ObjectPayload(O3, {M3}), 0xFFFFFFFF))
             .Chunk(format::kObjectChunk, 100, WithCount(gen::ObjectPayload(O3, {}), 0x20000000))
             .ObjectName(O3, "PawnW")
             .Object(O4, {M4})
             .Chunk(format::kObjectNameChunk, 0, Cut(gen::ObjectNamePayload(O4, ""), 8))
             .ObjectName(O4, "PawnB")
             .Object(O5, {M5})
             .Chunk(format::kObjectNameChunk, 0, NamePayloadBytes(O5, "KingW"))
             .Object(O6, {M6})
             .Chunk(format::kObjectNameChunk, 0, NamePayloadBytes(O6, std::string("Pawn\0W", 6))),
         {{M1, None}, {M2, None}, {M3, None}, {M4, BlackPieces}, {M5, WhitePieces}, {M6, None}}},
        {"style C from the set name",
         "C1_set.DAT",
         Set().Object(O1, {M1}).ObjectName(O1, "<Pawn>W").Object(O2, {M2}).ObjectName(O2, "PawnW"),
         {{M1, WhitePieces}, {M2, None}}},
        {"style D from the set name",
         "D1_set.DAT",
         Set()
             .Object(O1, {M1})
             .ObjectName(O1, "<b_PawnW>")
             .Object(O2, {M2})
             .ObjectName(O2, "<Pawn>B"),
         {{M1, WhitePieces}, {M2, None}}},
        {"an unknown first letter gives style A",
         "E1_set.DAT",
         Set().Object(O1, {M1}).ObjectName(O1, "<PawnW>").Object(O2, {M2}).ObjectName(O2, "PawnW"),
         {{M1, None}, {M2, WhitePieces}}},
        {"a trailing fragment is ignored",
         "set.DAT",
         Set().Object(O1, {M1}).ObjectName(O1, "Frame").Raw({1, 2, 3, 4, 5}),
         {{M1, Board}}},
    };
    for (const ClassCase& c : cases) ExpectClassified(c);
}

TEST(ClassifyMaterials, WalkFailuresAreReportedWithTheSetName) {
    const ChessSetBuilder classified = Set().Object(O1, {M1}).ObjectName(O1, "PawnW");
    struct FailureCase {
        const char* what;
        ChessSetBuilder set;
        Lines lines;
    };
    const std::vector<FailureCase> cases = {
        {"bad first header",
         ChessSetBuilder().ChunkClaiming(format::kSetSignature, 0, 4, {}),
         {"Error - Bad file format. set.DAT isn't a proper Tessaravine chess set."}},
        {"payload past the end of the file",
         ChessSetBuilder(classified).ChunkClaiming(kOpaqueKind, 0, 100, {1, 2, 3}),
         {"Error - Could not read set.DAT"}},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.what);
        const PassOutcome outcome = Classify(c.set);
        EXPECT_FALSE(outcome.result);
        EXPECT_EQ(outcome.lines, c.lines);
    }

    test::TempDir dir;
    ToolState state;
    SetLoadedSet(state, dir.File("missing.DAT"));
    report::MemoryReportLog log;
    MaterialClassTable classes;
    EXPECT_FALSE(ClassifyMaterials(state, log, classes));
    EXPECT_EQ(log.Lines(), Lines{"Error - Could not open missing.DAT"});

    platform::ScopedFault fault({platform::Operation::Close, 1, false});
    const PassOutcome closing = Classify(classified);
    EXPECT_FALSE(closing.result);
    EXPECT_EQ(closing.lines, Lines{"Error - Could not close set.DAT"});
    EXPECT_EQ(closing.classes.ClassOf(M1), WhitePieces);
}

// Every payload is one allocation of the walk; each AddObject and each new
// material class is one more. In this set they come in the order:
// 1 object O1, 2 AddObject O1, 3 name O1, 4 SetClass M1,
// 5 object O2, 6 AddObject O2, 7 name O2, 8 object O3, ...
ChessSetBuilder ThreeNamedObjects() {
    return Set()
        .Object(O1, {M1})
        .ObjectName(O1, "PawnW")
        .Object(O2, {M2})
        .ObjectName(O2, "PawnB")
        .Object(O3, {M3})
        .ObjectName(O3, "KingW");
}

TEST(ClassifyMaterials, RefusedTableEntryFailsThePassAfterTheWholeWalk) {
    struct SeamCase {
        const char* what;
        std::uint64_t allocation;
        std::vector<std::pair<ChunkKey, SpecularClass>> classes;
    };
    const std::vector<SeamCase> cases = {
        {"AddObject", 6, {{M1, WhitePieces}, {M2, None}, {M3, WhitePieces}}},
        {"SetClass", 4, {{M1, None}, {M2, BlackPieces}, {M3, WhitePieces}}},
    };
    for (const SeamCase& c : cases) {
        SCOPED_TRACE(c.what);
        platform::ScopedFault fault({platform::Operation::Allocate, c.allocation, false});
        const PassOutcome outcome = Classify(ThreeNamedObjects());
        EXPECT_TRUE(platform::FaultFired());
        EXPECT_FALSE(outcome.result);
        EXPECT_EQ(outcome.lines, Lines{"Error - Not enough memory"});
        for (const auto& [key, cls] : c.classes) EXPECT_EQ(outcome.classes.ClassOf(key), cls);
    }
}

TEST(ClassifyMaterials, LaterWalkFailureReplacesTheHeldMemoryFailure) {
    platform::ScopedFault fault({platform::Operation::Allocate, 6, false});
    const PassOutcome outcome =
        Classify(ThreeNamedObjects().ChunkClaiming(kOpaqueKind, 0, 50, {1}));
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.lines, Lines{"Error - Could not read set.DAT"});
}

}  // namespace
}  // namespace sorrelwick::specular
