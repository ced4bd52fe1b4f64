// The classification's tables: a refused allocation fails only where it
// matters, and the key map keeps every entry through erases. Which entry and
// which class win shows in the classification's own tests.

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "platform/fault_seam.h"
#include "specular/flat_key_map.h"
#include "specular/material_class_table.h"

namespace sorrelwick::specular {
namespace {

using enum SpecularClass;

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
        SCOPED_TRACE(c.allocation);
        MaterialClassTable table;
        platform::ScopedFault fault({platform::Operation::Allocate, c.allocation, false});
        EXPECT_EQ(table.SetClass({1, 2}, WhitePieces), c.recorded);
        table.NoteMaterialChunk({1, 2});
        EXPECT_EQ(table.Resolve(), c.resolved);
        EXPECT_TRUE(platform::FaultFired());
        EXPECT_EQ(table.ClassOfNext({1, 2}), c.classOfKey);
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
