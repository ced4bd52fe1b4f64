#pragma once
// The line that shows one backup of a chess set: its file name, its size,
// when it was last written, and what it holds as a chess set.

#include <cstdint>
#include <string>
#include <string_view>

namespace sorrelwick::report {

// "  name", "%llu bytes" from column 30, the time from column 48, the
// contents from column 70; a field that would collide follows the previous
// one after a single space.
std::string BackupLine(std::string_view fileName, std::uint64_t size, std::int64_t modifiedUtc,
                       std::string_view contents);

// "YYYY-MM-DD HH:MM UTC" for seconds since 1970-01-01 00:00 UTC, the same on
// every system whatever its time zone. Times outside the years 1 to 9999
// show as the nearest end of that range.
std::string UtcMinuteText(std::int64_t secondsSince1970);

}  // namespace sorrelwick::report
