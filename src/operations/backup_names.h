#pragma once
// The names the backup rotation gives a chess set's backups: its path with
// the text after the last "." of its file name replaced by 000 to 999.

#include <optional>
#include <string>
#include <string_view>

namespace sorrelwick::operations {

inline constexpr unsigned kBackupNumbers = 1000;

// The set's path up to and including the "." the number follows. Empty when
// the file name has no "." with something after it, or when a backup path
// would not fit in 259 characters.
std::optional<std::string_view> BackupStem(std::string_view setPath);

// `stem` followed by `number` as three digits.
std::string NumberedPath(std::string_view stem, unsigned number);

}  // namespace sorrelwick::operations
