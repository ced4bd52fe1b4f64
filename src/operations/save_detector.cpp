#include "operations/save_detector.h"

#include <algorithm>

namespace sorrelwick::operations {

void SaveDetector::Changed(const std::string& name, Clock::time_point now) {
    lastChange_[name] = now;
}

std::vector<std::string> SaveDetector::Due(Clock::time_point now) {
    std::vector<std::pair<Clock::time_point, std::string>> due;
    for (auto entry = lastChange_.begin(); entry != lastChange_.end();) {
        if (now - entry->second >= quiet_) {
            due.emplace_back(entry->second, entry->first);
            entry = lastChange_.erase(entry);
        } else {
            ++entry;
        }
    }
    std::sort(due.begin(), due.end());
    std::vector<std::string> names;
    for (auto& [when, name] : due) names.push_back(std::move(name));
    return names;
}

std::optional<std::chrono::milliseconds> SaveDetector::UntilNextDue(Clock::time_point now) const {
    if (lastChange_.empty()) return std::nullopt;
    Clock::time_point first = Clock::time_point::max();
    for (const auto& [name, when] : lastChange_) first = std::min(first, when);
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(first + quiet_ - now);
    return std::max(left, std::chrono::milliseconds(0));
}

}  // namespace sorrelwick::operations
