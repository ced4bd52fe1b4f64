#pragma once
// Where a chess set really lies. A set's path may be a symbolic link; the
// set is then the file the link names, and that is where its backups and
// its temporary files lie: the link itself is never moved or replaced.
// Everything that reads or writes a set or its backups finds it here.

#include <string>
#include <string_view>

#include "set_file/tool_state.h"

namespace sorrelwick::backup {

// The path of the file `setPath` stands for: when its last component is a
// symbolic link, the file named by the link's own text (relative to the
// link's folder), link after link; otherwise `setPath` itself. The text is
// read, not checked against the disk, so a link whose target is missing
// still leads to the folder where the set and its backups lie. Folders on
// the way are left as they are.
std::string ResolveSetPath(std::string_view setPath);

// `state` with the chess-set path and name of the resolved file.
ToolState ResolvedSet(const ToolState& state);

}  // namespace sorrelwick::backup
