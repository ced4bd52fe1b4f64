#include "backup/temporary_file.h"

#include <algorithm>
#include <utility>

#include "platform/file_system.h"

namespace sorrelwick::backup {
namespace {

// Characters of the file name that the mark and the number replace.
constexpr std::size_t kReplacedCharacters = 4;

}  // namespace

std::optional<std::string> TemporaryPath(std::string_view setPath, int number) {
    // Whole characters, so that a name in any language stays a valid name.
    const std::string_view name = platform::FileNamePart(setPath);
    std::size_t replaced = 0, replacedBytes = 0;
    while (replaced < kReplacedCharacters) {
        const std::size_t bytes = platform::LastCharactersSize(name, replaced + 1);
        if (bytes == replacedBytes) break;
        replacedBytes = bytes;
        ++replaced;
    }
    if (replaced == 0 || number < 0) return std::nullopt;
    std::string digits(replaced - 1, '0');
    for (auto place = digits.rbegin(); place != digits.rend(); ++place, number /= 10) {
        *place = static_cast<char>('0' + number % 10);
    }
    if (number != 0) return std::nullopt;
    std::string path(setPath.substr(0, setPath.size() - replacedBytes));
    path.push_back('~');
    path += digits;
    return path;
}

TemporaryFile CreateTemporaryFile(std::string_view setPath, bool ownerOnly) {
    for (int number = 0;; ++number) {
        std::optional<std::string> path = TemporaryPath(setPath, number);
        if (!path) return {};
        // A set named like a temporary file ("a.~000") must not be written in
        // place: the next number is taken.
        if (*path == setPath) continue;
        platform::File::CreateOutcome outcome{};
        platform::File file = platform::File::CreateNew(*path, outcome, ownerOnly);
        if (outcome == platform::File::CreateOutcome::AlreadyExists) continue;
        if (!file.IsOpen()) return {std::move(file), {}};  // its cause goes with it
        return {std::move(file), std::move(*path)};
    }
}

}  // namespace sorrelwick::backup
