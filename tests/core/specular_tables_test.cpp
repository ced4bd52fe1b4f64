// The classification's tables keep their rules while indexed: a material's
// later class overwrites the earlier one, a refused allocation changes
// nothing, and the key map keeps every entry through erases. The object
// table's rules show in the classification's own tests.

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "platform/fault_seam.h"
#include "specular/flat_key_map.h"
#include "specular/material_class_table.h"

namespace sorrelwick::specular {
namespace {

using enum SpecularClass;

const platform::FaultPlan kRefuseAllocations{platform::Operation::Allocate, 1, true};

// Classes are recorded in the order given and resolved at once; the rewrite
// then asks in file order: noted chunks come from the resolved order, any
// other key (a file that changed since) from the table itself.
TEST(MaterialClassTable, LatestClassWinsAndFileOrderFallsBackOnTheTable) {
    MaterialClassTable table;
    for (const auto& [key, cls] : {std::pair{ChunkKey{1, 2}, WhitePieces},
                                   {ChunkKey{2, 1}, Board},
                                   {ChunkKey{1, 2}, BlackPieces}}) {
        ASSERT_TRUE(table.SetClass(key, cls));
    }
    for (const ChunkKey noted : {ChunkKey{1, 2}, ChunkKey{3, 3}, ChunkKey{2, 1}}) {
        table.NoteMaterialChunk(noted);
    }
    ASSERT_TRUE(table.Resolve());
    EXPECT_EQ(table.Size(), 2u);
    const std::pair<ChunkKey, SpecularClass> asked[] = {
        {{1, 2}, BlackPieces}, {{2, 1}, Board},       {{3, 3}, None},
        {{2, 1}, Board},       {{1, 2}, BlackPieces}, {{9, 9}, None},
    };
    for (const auto& [key, cls] : asked) EXPECT_EQ(table.ClassOfNext(key), cls) << key.first;
    table.Clear();
    EXPECT_EQ(table.ClassOfNext({1, 2}), None);
    EXPECT_EQ(table.Size(), 0u);
}

// Each refused allocation: the first record's block, the table, the
// resolved order (then served by the table), the first noted block (then
// the table too).
TEST(MaterialClassTable, RefusedMemoryFailsOnlyWhereItMatters) {
    struct Case {
        std::uint64_t allocation;
        bool recorded, resolved;
        SpecularClass classOfKey;
    };
    for (const Case& c : {Case{1, false, true, None}, Case{3, true, false, None},
                          Case{4, true, true, WhitePieces}, Case{2, true, true, WhitePieces}}) {
        MaterialClassTable table;
        platform::ScopedFault fault({platform::Operation::Allocate, c.allocation, false});
        EXPECT_EQ(table.SetClass({1, 2}, WhitePieces), c.recorded) << c.allocation;
        table.NoteMaterialChunk({1, 2});
        EXPECT_EQ(table.Resolve(), c.resolved) << c.allocation;
        EXPECT_TRUE(platform::FaultFired()) << c.allocation;
        EXPECT_EQ(table.ClassOfNext({1, 2}), c.classOfKey) << c.allocation;
    }
}

// Inserting and erasing at random over a small key space wraps probe runs
// around the array and makes them collide, so erasing must shift entries
// back without losing any of them.
TEST(FlatKeyMap, AgreesWithAnOrderedMapUnderRandomInsertsAndErases) {
    FlatKeyMap<std::uint32_t> map;
    std::map<std::uint32_t, std::uint32_t> model;  // by the key's number n
    std::mt19937 random(7);
    constexpr std::uint32_t kKeys = 48;
    const auto key = [](std::uint32_t n) { return ChunkKey{n / 2, n % 2}; };
    for (std::uint32_t step = 0; step < 20000; ++step) {
        const auto n = static_cast<std::uint32_t>(random() % kKeys);
        if (random() % 3 == 0) {
            map.Erase(key(n));
            model.erase(n);
        } else if (std::uint32_t* value = map.Find(key(n))) {
            *value = model[n] = step;
        } else {
            map.Insert(key(n), step);
            model[n] = step;
        }
        ASSERT_EQ(map.Size(), model.size()) << "step " << step;
        for (std::uint32_t k = 0; k < kKeys; ++k) {
            const std::uint32_t* found = map.Find(key(k));
            ASSERT_EQ(found ? *found : ~0u, model.count(k) ? model[k] : ~0u) << "step " << step;
        }
        if (step % 5000 == 4999) {
            map.Clear();
            model.clear();
        }
    }
}

}  // namespace
}  // namespace sorrelwick::specular
