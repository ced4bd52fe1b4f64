// The ordered pipeline: outputs come back in the inputs' order on the
// caller's thread whatever the pool's count and whichever input finishes
// first, no more inputs are held than the bound, and a failed work ends the
// deliveries at its place.

#include "operations/ordered_pipeline.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace sorrelwick::test {
namespace {

using operations::kInFlightPerJob;
using operations::OrderedPipeline;

// Work whose cost falls with the input's place, so that later inputs tend
// to finish before earlier ones on a pool.
std::uint64_t Churn(std::size_t input, std::size_t count) {
    std::uint64_t value = input;
    for (std::size_t i = 0; i < (count - input) * 2000; ++i)
        value = value * 6364136223846793005u + 1;
    return value;
}

TEST(OrderedPipeline, DeliversInOrderOnTheCallersThreadWithinItsBound) {
    struct Case {
        unsigned jobs;
        std::size_t inputs;
        std::optional<std::size_t> failsAt;  // the work of this input throws
    };
    const Case cases[] = {
        {1, 40, std::nullopt},
        {2, 40, std::nullopt},
        {3, 1, std::nullopt},
        {5, 97, std::nullopt},
        {8, 0, std::nullopt},
        {1, 30, 7},
        {2, 30, 0},
        {4, 60, 13},
        {4, 60, 59},
    };
    const std::thread::id caller = std::this_thread::get_id();
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.jobs << " jobs, " << c.inputs << " inputs");
        std::vector<std::size_t> delivered;
        std::size_t pushed = 0, mostHeld = 0, throws = 0;
        bool workOnCaller = false, deliveredElsewhere = false;
        {
            OrderedPipeline<std::size_t, std::pair<std::size_t, std::uint64_t>> pipeline(
                c.jobs,
                [&](std::size_t& input) {
                    if (std::this_thread::get_id() == caller) workOnCaller = true;
                    if (c.failsAt == input) throw std::runtime_error("failed");
                    return std::pair(input, Churn(input, c.inputs));
                },
                [&](std::pair<std::size_t, std::uint64_t>& output) {
                    if (std::this_thread::get_id() != caller) deliveredElsewhere = true;
                    EXPECT_EQ(output.second, Churn(output.first, c.inputs));
                    delivered.push_back(output.first);
                });
            const auto counting = [&](auto&& step) {
                try {
                    step();
                } catch (const std::runtime_error&) {
                    ++throws;
                }
            };
            for (std::size_t i = 0; i < c.inputs; ++i) {
                counting([&] { pipeline.Push(i); });
                ++pushed;
                mostHeld = std::max(mostHeld, pushed - delivered.size());
            }
            counting([&] { pipeline.Finish(); });
        }
        std::vector<std::size_t> expected(c.failsAt.value_or(c.inputs));
        for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = i;
        EXPECT_EQ(delivered, expected);
        EXPECT_EQ(throws, c.failsAt ? 1u : 0u);
        EXPECT_FALSE(deliveredElsewhere);
        // Without a pool the work is the caller's; with one, never.
        EXPECT_EQ(workOnCaller, c.jobs == 1 && c.inputs > 0);
        if (!c.failsAt) {
            EXPECT_LE(mostHeld, c.jobs == 1 ? 0 : kInFlightPerJob * c.jobs);
        }
    }
}

}  // namespace
}  // namespace sorrelwick::test
