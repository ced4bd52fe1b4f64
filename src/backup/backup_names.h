#pragma once
// The names the backup rotation gives a chess set's backups: its path with
// the text after the last "." of its file name replaced by 000 to 999.

#include <optional>
#include <string>
#include <string_view>

namespace sorrelwick::backup {

inline constexpr unsigned kBackupNumbers = 1000;

// The set's path up to and including the "." the number follows. Empty when
// the file name has no "." with something after it, or when a backup path
// would be longer than the system allows (259 characters on Windows).
std::optional<std::string_view> BackupStem(std::string_view setPath);

// `stem` followed by `number` as three digits.
std::string NumberedPath(std::string_view stem, unsigned number);

// The chess set a file chosen by the user stands for: the file itself, or
// for a numbered backup (three digits after the last "."), the set it was
// made from. A backup's name no longer says the set's own extension; the
// game's sets all end in ".DAT", so that is the one it gets.
std::string SetPathOfChosenFile(std::string_view path);

}  // namespace sorrelwick::backup
