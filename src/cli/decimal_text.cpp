#include "cli/decimal_text.h"

namespace sorrelwick::cli {

std::optional<std::uint64_t> ParseDecimal(std::string_view text, std::uint64_t max) {
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        // Stops long before the value could overflow.
        if (value > max) return std::nullopt;
    }
    return value;
}

}  // namespace sorrelwick::cli
