#pragma once
// A hash map from chunk keys to small values, kept in one array of slots
// (open addressing, linear probing), so that a million keys cost a handful
// of allocations and each lookup touches one or two cache lines.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "specular/chunk_keys.h"

namespace sorrelwick::specular {

template <typename Value>
class FlatKeyMap {
public:
    Value* Find(ChunkKey key) {
        const std::size_t at = SlotOf(key);
        return at == kAbsent ? nullptr : &slots_[at].value;
    }
    const Value* Find(ChunkKey key) const {
        const std::size_t at = SlotOf(key);
        return at == kAbsent ? nullptr : &slots_[at].value;
    }

    // A hint that `key` is wanted soon: starts loading the slot where its
    // search begins, so that a lookup a little later finds it in the cache.
    void Prefetch(ChunkKey key) const {
        if (!slots_.empty()) __builtin_prefetch(&slots_[Home(key)]);
    }

    // Makes room for `count` keys in all, so that inserting up to that many
    // can't fail. Throws std::bad_alloc, leaving the map as it was.
    void Reserve(std::size_t count) {
        if (Holds(slots_.size(), count)) return;
        std::size_t capacity = slots_.empty() ? kMinCapacity : slots_.size();
        while (!Holds(capacity, count)) capacity *= 2;
        std::vector<Slot> old(capacity);
        old.swap(slots_);
        for (const Slot& slot : old) {
            if (slot.used) Place(slot.key, slot.value);
        }
    }

    // Adds a key that is not in the map yet. Throws std::bad_alloc when the
    // map must grow and can't, leaving it as it was.
    void Insert(ChunkKey key, Value value) {
        Reserve(size_ + 1);
        Place(key, value);
        ++size_;
    }

    // Sets the value of `key`, adding the key when it is new. Room for it
    // must have been made with Reserve, so this can't fail.
    void Assign(ChunkKey key, Value value) {
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = Home(key);
        for (; slots_[at].used; at = (at + 1) & mask) {
            if (slots_[at].key == key) {
                slots_[at].value = value;
                return;
            }
        }
        slots_[at] = Slot{key, value, true};
        ++size_;
    }

    void Erase(ChunkKey key) {
        std::size_t hole = SlotOf(key);
        if (hole == kAbsent) return;
        // Backward shift: move later members of the probe run into the hole
        // when their home slot allows it, so that no run is ever broken.
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t next = (hole + 1) & mask; slots_[next].used; next = (next + 1) & mask) {
            const std::size_t home = Home(slots_[next].key);
            const bool homeInHoleToNext =
                hole <= next ? hole < home && home <= next : hole < home || home <= next;
            if (homeInHoleToNext) continue;
            slots_[hole] = slots_[next];
            hole = next;
        }
        slots_[hole].used = false;
        --size_;
    }

    // Forgets every key and releases the slots.
    void Clear() {
        std::vector<Slot>().swap(slots_);
        size_ = 0;
    }

    std::size_t Size() const { return size_; }

private:
    // With a one-byte value a slot takes 12 bytes, five to a cache line.
    struct Slot {
        ChunkKey key;
        Value value{};
        bool used = false;
    };
    static constexpr std::size_t kMinCapacity = 16;

    // At most three quarters of the slots are used: probe runs stay short
    // (a miss reads about two cache lines) and the array stays small.
    static bool Holds(std::size_t capacity, std::size_t count) { return count * 4 <= capacity * 3; }
    static constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);

    std::size_t Home(ChunkKey key) const { return hash_(key) & (slots_.size() - 1); }

    static std::uint64_t RandomSeed() noexcept {
        try {
            std::random_device device;
            return std::uint64_t{device()} << 32 | device();
        } catch (...) {
            // No random source: the clock still varies from run to run.
            return static_cast<std::uint64_t>(
                std::chrono::steady_clock::now().time_since_epoch().count());
        }
    }

    std::size_t SlotOf(ChunkKey key) const {
        if (slots_.empty()) return kAbsent;
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = Home(key);; at = (at + 1) & mask) {
            if (!slots_[at].used) return kAbsent;
            if (slots_[at].key == key) return at;
        }
    }

    // The map is never full, so a free slot is always found.
    void Place(ChunkKey key, Value value) {
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = Home(key);
        while (slots_[at].used) at = (at + 1) & mask;
        slots_[at] = Slot{key, value, true};
    }

    std::vector<Slot> slots_;  // empty, or a power of two
    std::size_t size_ = 0;
    ChunkKeyHash hash_{RandomSeed()};
};

}  // namespace sorrelwick::specular
