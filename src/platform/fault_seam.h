#pragma once
// Test seam: makes one chosen checked operation fail, so that every failure
// branch of every operation can be reached without special files.
//
// Every checked file or memory operation asks ShouldFail() first. With no plan
// armed that is one comparison; with a plan armed, the k-th operation (counted
// from 1, of one kind or of any kind) fails, and with `persistent` every later
// one of the same selection fails as well.

#include <cstdint>
#include <optional>

#include "platform/system_error.h"

namespace sorrelwick::platform {

// Attributes: reading or setting the attributes a rewritten file keeps.
// Link: giving a file a second name.
enum class Operation { Open, Read, Write, Flush, Close, Move, Remove, Allocate, Attributes, Link };
inline constexpr int kOperationKinds = 10;

// Causes an injected failure can carry, each the platform's own code for it
// (InUse: Windows' sharing violation; POSIX has none and says "busy").
enum class FaultCause { AccessDenied, DiskFull, NameTooLong, ReadOnly, InUse };
SystemError SystemErrorFor(FaultCause cause);

struct FaultPlan {
    std::optional<Operation> kind;  // nullopt: count operations of every kind
    std::uint64_t nth = 0;          // 1-based; 0 never fails
    bool persistent = false;        // also fail every later matching operation
    // Links are reported unsupported, as on file systems without them, so
    // that the way around them can be tried anywhere.
    bool linksUnsupported = false;
    // The system error the failed call reports; none without a cause, as
    // for a failure the system gives no reason for.
    std::optional<FaultCause> cause = std::nullopt;
};

void ArmFault(const FaultPlan& plan);
void DisarmFault();

// Counts since the last ArmFault, failed operations included; nothing is
// counted while no plan is armed.
std::uint64_t OperationsSeen();
std::uint64_t OperationsSeen(Operation kind);
// Whether the armed plan has made at least one operation fail.
bool FaultFired();
// The system error of an operation the armed plan made fail.
SystemError InjectedError();

namespace detail {
inline bool faultArmed = false;
bool CountAndDecide(Operation kind);
}  // namespace detail

// Called by each checked operation before it does its work. Inline, so that
// with no plan armed the question costs one test of a flag.
inline bool ShouldFail(Operation kind) {
    return detail::faultArmed && detail::CountAndDecide(kind);
}

// Whether the armed plan says that links are unsupported.
bool LinksUnsupported();
// A free function of file_system.h that the plan made fail: its cause
// becomes the latest failure, and `result` is returned.
template <typename Result>
Result InjectedFailure(Result result) {
    detail::SetLatestFailure(InjectedError());
    return result;
}

// Arms a plan for one scope; disarms on leaving it.
class ScopedFault {
public:
    explicit ScopedFault(const FaultPlan& plan) { ArmFault(plan); }
    ~ScopedFault() { DisarmFault(); }
    ScopedFault(const ScopedFault&) = delete;
    ScopedFault& operator=(const ScopedFault&) = delete;
};

}  // namespace sorrelwick::platform
