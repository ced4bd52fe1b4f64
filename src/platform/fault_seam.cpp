#include "platform/fault_seam.h"

#include <array>

namespace sorrelwick::platform {
namespace {

struct SeamState {
    FaultPlan plan;
    bool fired = false;
    std::uint64_t seen = 0;
    std::array<std::uint64_t, kOperationKinds> seenByKind{};
};

SeamState& State() {
    static SeamState state;
    return state;
}

}  // namespace

void ArmFault(const FaultPlan& plan) {
    State() = SeamState{};
    State().plan = plan;
    detail::faultArmed = true;
}

void DisarmFault() {
    State() = SeamState{};
    detail::faultArmed = false;
}

std::uint64_t OperationsSeen() {
    return State().seen;
}

std::uint64_t OperationsSeen(Operation kind) {
    return State().seenByKind[static_cast<std::size_t>(kind)];
}

bool FaultFired() {
    return State().fired;
}

bool LinksUnsupported() {
    return detail::faultArmed && State().plan.linksUnsupported;
}

SystemError InjectedError() {
    const std::optional<FaultCause> cause = State().plan.cause;
    return cause ? SystemErrorFor(*cause) : SystemError{};
}

bool detail::CountAndDecide(Operation kind) {
    SeamState& s = State();
    const std::uint64_t ofKind = ++s.seenByKind[static_cast<std::size_t>(kind)];
    const std::uint64_t ofAny = ++s.seen;
    if (s.plan.nth == 0) return false;
    if (s.plan.kind && *s.plan.kind != kind) return false;
    const std::uint64_t count = s.plan.kind ? ofKind : ofAny;
    const bool fail = s.plan.persistent ? count >= s.plan.nth : count == s.plan.nth;
    if (fail) s.fired = true;
    return fail;
}

}  // namespace sorrelwick::platform
