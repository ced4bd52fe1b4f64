#pragma once
// The fault sweep: an operation run again and again with the k-th checked
// call failing, once or from there on, until a run passes untouched.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "platform/fault_seam.h"

namespace sorrelwick::test {

// Calls `trial` with each plan in turn; the trial arms the plan around the
// operation alone and returns whether it fired.
template <typename Trial>
void ForEveryFault(Trial trial) {
    for (const bool persistent : {false, true}) {
        for (std::uint64_t k = 1;; ++k) {
            SCOPED_TRACE((persistent ? "from operation " : "operation ") + std::to_string(k));
            ASSERT_LT(k, 300u) << "the operation never ran untouched";
            if (!trial(platform::FaultPlan{std::nullopt, k, persistent})) break;
        }
    }
}

// Runs `operation` with `plan` armed: its result, and whether the fault fired.
template <typename Operation>
std::pair<bool, bool> RunArmed(const platform::FaultPlan& plan, Operation operation) {
    const platform::ScopedFault fault(plan);
    const bool result = operation();
    return {result, platform::FaultFired()};
}

}  // namespace sorrelwick::test
