#pragma once
// Numbers as the command line takes them: plain decimal digits only, so that
// a sign, a space, a hexadecimal or an octal spelling is never mistaken for a
// number.

#include <cstdint>
#include <optional>
#include <string_view>

namespace sorrelwick::cli {

// The value of `text` when it is one or more decimal digits (leading zeros
// allowed) worth at most `max`.
std::optional<std::uint64_t> ParseDecimal(std::string_view text, std::uint64_t max);

}  // namespace sorrelwick::cli
