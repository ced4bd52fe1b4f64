#include "report/backup_line.h"

#include <algorithm>
#include <chrono>

#include "report/columns.h"

namespace sorrelwick::report {
namespace {

constexpr std::size_t kSizeColumn = 30;
constexpr std::size_t kTimeColumn = 48;
constexpr std::size_t kContentsColumn = 70;

// Zero-padded to `width` digits.
std::string Digits(long long value, std::size_t width) {
    std::string text = std::to_string(value);
    if (text.size() < width) text.insert(0, width - text.size(), '0');
    return text;
}

}  // namespace

std::string UtcMinuteText(std::int64_t secondsSince1970) {
    using namespace std::chrono;
    constexpr std::int64_t kYear1 = -62135596800;     // 0001-01-01 00:00
    constexpr std::int64_t kYear9999 = 253402300799;  // 9999-12-31 23:59:59
    const sys_seconds time{seconds{std::clamp(secondsSince1970, kYear1, kYear9999)}};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    return Digits(int{date.year()}, 4) + "-" + Digits(unsigned{date.month()}, 2) + "-" +
           Digits(unsigned{date.day()}, 2) + " " + Digits(clock.hours().count(), 2) + ":" +
           Digits(clock.minutes().count(), 2) + " UTC";
}

std::string BackupLine(std::string_view fileName, std::uint64_t size, std::int64_t modifiedUtc,
                       std::string_view contents) {
    std::string line = Indented(fileName);
    PadTo(line, kSizeColumn);
    line += std::to_string(size) + " bytes";
    PadTo(line, kTimeColumn);
    line += UtcMinuteText(modifiedUtc);
    PadTo(line, kContentsColumn);
    line.append(contents);
    return line;
}

}  // namespace sorrelwick::report
