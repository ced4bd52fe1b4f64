#pragma once
// The name under which a new chess-set file is written before it takes the
// set's path, so that the path never holds a file cut short.
//
// The temporary path is the set's path with the last four characters of its
// file name (every character of a shorter name) replaced by "~" and a number
// that fills the rest: set1.DAT is written as set1~000, or set1~001 when that
// name is taken, up to set1~999. So the temporary path lies in the set's
// folder, is exactly as long as the set's path, and ends in no "." followed
// by three digits: it is never a backup of any set.

#include <optional>
#include <string>
#include <string_view>

#include "platform/file.h"

namespace sorrelwick::backup {

// The `number`-th temporary path of the set, or none when the number needs
// more places than the name leaves. A set named like a temporary file
// ("a.~000") gets its own path back for its number.
std::optional<std::string> TemporaryPath(std::string_view setPath, int number);

struct TemporaryFile {
    platform::File file;  // created for writing; when none was, closed, with the cause
    std::string path;
};

// Creates the new file under the first temporary path that names nothing
// yet: readable by its owner alone (`ownerOnly`, a set's copy until it takes
// the set's attributes) or with the usual mode of a new file (a page, a mod).
// A file already there (left by a run that was killed, or the user's) is
// passed over, never opened. Fails when every number is taken or the file
// system refuses to create one.
TemporaryFile CreateTemporaryFile(std::string_view setPath, bool ownerOnly = true);

}  // namespace sorrelwick::backup
