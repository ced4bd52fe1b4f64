#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "generators/chess_set_builder.h"
#include "platform/fault_seam.h"
#include "specular/flat_key_map.h"
#include "specular/material_class_table.h"
#include "specular/object_link_table.h"
#include "support/specular_printing.h"

namespace sorrelwick::specular {
namespace {

using enum SpecularClass;

// The key list of an object chunk as the file holds it.
std::vector<std::uint8_t> KeyList(const std::vector<ChunkKey>& keys) {
    const std::vector<std::uint8_t> payload = gen::ObjectPayload({}, keys);
    return {payload.begin() + 54, payload.end()};
}

std::vector<ChunkKey> MaterialsOf(const ObjectLinkTable& table, ChunkKey object) {
    const ObjectEntry* entry = table.FindObject(object);
    if (!entry) return {};
    return {entry->Materials().begin(), entry->Materials().end()};
}

const platform::FaultPlan kRefuseAllocations{platform::Operation::Allocate, 1, true};

TEST(ObjectLinkTable, NewestEntryWithAKeyIsFoundAndRemovedFirst) {
    ObjectLinkTable table;
    const ChunkKey object{7, 9};
    ASSERT_TRUE(table.AddObject(object, KeyList({{1, 2}, {0x01020304, 0xA0B0C0D0}})));
    ASSERT_TRUE(table.AddObject(object, KeyList({{3, 4}})));
    ASSERT_TRUE(table.AddObject({7, 8}, KeyList({{5, 6}})));
    EXPECT_EQ(table.Size(), 3u);

    EXPECT_EQ(MaterialsOf(table, object), (std::vector<ChunkKey>{{3, 4}}));
    table.RemoveObject(object);
    EXPECT_EQ(MaterialsOf(table, object),
              (std::vector<ChunkKey>{{1, 2}, {0x01020304, 0xA0B0C0D0}}));
    table.RemoveObject(object);
    EXPECT_EQ(table.FindObject(object), nullptr);
    table.RemoveObject(object);  // nothing left: no effect
    EXPECT_EQ(MaterialsOf(table, {7, 8}), (std::vector<ChunkKey>{{5, 6}}));
    EXPECT_EQ(table.FindObject({9, 7}), nullptr);
    EXPECT_EQ(table.Size(), 1u);
}

TEST(ObjectLinkTable, EmptyKeyListAddsNothing) {
    ObjectLinkTable table;
    EXPECT_TRUE(table.AddObject({1, 1}, {}));
    EXPECT_EQ(table.FindObject({1, 1}), nullptr);
    EXPECT_EQ(table.Size(), 0u);
}

TEST(ObjectLinkTable, RefusedAllocationLeavesTableUnchanged) {
    ObjectLinkTable table;
    ASSERT_TRUE(table.AddObject({1, 1}, KeyList({{2, 2}})));
    {
        platform::ScopedFault fault(kRefuseAllocations);
        EXPECT_FALSE(table.AddObject({1, 1}, KeyList({{3, 3}})));
        EXPECT_FALSE(table.AddObject({4, 4}, KeyList({{5, 5}})));
    }
    EXPECT_EQ(MaterialsOf(table, {1, 1}), (std::vector<ChunkKey>{{2, 2}}));
    table.Clear();
    EXPECT_EQ(table.FindObject({1, 1}), nullptr);
    EXPECT_EQ(table.FindObject({4, 4}), nullptr);
    EXPECT_EQ(table.Size(), 0u);
}

TEST(MaterialClassTable, LaterClassificationOverwritesWithoutNewEntry) {
    MaterialClassTable table;
    EXPECT_EQ(table.ClassOf({1, 2}), None);
    ASSERT_TRUE(table.SetClass({1, 2}, WhitePieces));
    ASSERT_TRUE(table.SetClass({2, 1}, Board));
    {
        // Overwriting needs no new entry, so a refused allocation can't fail it.
        platform::ScopedFault fault(kRefuseAllocations);
        EXPECT_TRUE(table.SetClass({1, 2}, BlackPieces));
        EXPECT_FALSE(table.SetClass({1, 3}, Board));
    }
    EXPECT_EQ(table.ClassOf({1, 2}), BlackPieces);
    EXPECT_EQ(table.ClassOf({2, 1}), Board);
    EXPECT_EQ(table.ClassOf({1, 3}), None);
    EXPECT_EQ(table.Size(), 2u);
    table.Clear();
    EXPECT_EQ(table.ClassOf({1, 2}), None);
    EXPECT_EQ(table.Size(), 0u);
}

// Inserting and erasing at random over a small key space wraps probe runs
// around the array and makes them collide, so erasing must shift entries
// back without losing any of them.
TEST(FlatKeyMap, AgreesWithAnOrderedMapUnderRandomInsertsAndErases) {
    FlatKeyMap<std::uint32_t> map;
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::uint32_t> model;
    std::mt19937 random(7);
    constexpr std::uint32_t kKeys = 48;
    for (std::uint32_t step = 0; step < 20000; ++step) {
        const auto n = static_cast<std::uint32_t>(random() % kKeys);
        const ChunkKey key{n / 2, n % 2};
        if (random() % 3 == 0) {
            map.Erase(key);
            model.erase({key.first, key.second});
        } else if (std::uint32_t* value = map.Find(key)) {
            *value = step;
            model[{key.first, key.second}] = step;
        } else {
            map.Insert(key, step);
            model[{key.first, key.second}] = step;
        }
        ASSERT_EQ(map.Size(), model.size()) << "step " << step;
        for (std::uint32_t k = 0; k < kKeys; ++k) {
            const auto expected = model.find({k / 2, k % 2});
            const std::uint32_t* found = map.Find({k / 2, k % 2});
            ASSERT_EQ(found != nullptr, expected != model.end()) << "step " << step;
            if (found) {
                ASSERT_EQ(*found, expected->second) << "step " << step;
            }
        }
        if (step % 5000 == 4999) {
            map.Clear();
            model.clear();
        }
    }
}

}  // namespace
}  // namespace sorrelwick::specular
