#pragma once
// When a file that an editor is saving has been saved. Editors write a file
// in several pieces, or reopen it to add to it, or write another name and
// rename it over the file; each gives the watch a change. A file is taken
// only once no change of it came for a quiet period, so that a save gives
// one import, of the whole file, and of two quick saves the last is taken.
// Time is given by the caller, so the rule can be tried without waiting.

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sorrelwick::operations {

class SaveDetector {
public:
    using Clock = std::chrono::steady_clock;

    explicit SaveDetector(std::chrono::milliseconds quiet) : quiet_(quiet) {}

    // A change of `name` at `now`: its quiet period starts again.
    void Changed(const std::string& name, Clock::time_point now);

    // The names whose quiet period has passed at `now`, in the order their
    // last changes came; they are no longer pending.
    std::vector<std::string> Due(Clock::time_point now);

    // How long from `now` until the next name is due; nullopt when none is
    // pending.
    std::optional<std::chrono::milliseconds> UntilNextDue(Clock::time_point now) const;

private:
    std::chrono::milliseconds quiet_;
    std::map<std::string, Clock::time_point> lastChange_;
};

}  // namespace sorrelwick::operations
