#pragma once
// The page of `mods --page`: one card per mod with its title, author and
// state, and each texture it changes before (from the set, when the set
// holds the mod's base) and after (from the mod), pieces other mods also
// change marked. Written as every page is: piece by piece, one mod at a
// time, whole or not at all.

#include <map>
#include <string>
#include <vector>

#include "mod/mod_state.h"
#include "report/report_log.h"
#include "set_file/tool_state.h"

namespace sorrelwick::mod {

struct PagedMod {
    std::string path;
    std::string name;   // its file name
    std::string state;  // as the report tells it
};

// The file names of the mods that change each texture.
using TextureChangers = std::map<TexturePlace, std::vector<std::string>>;

// Writes the page; its line, or the lines of what failed, go to `log`.
// True when it was written and every mod's images could be read. The
// pictures are made on `jobs` threads (0: one per core); every file is
// read and written on the caller's thread.
bool WriteModsPage(const ToolState& state, const std::vector<PagedMod>& mods, const SetPieces& set,
                   const TextureChangers& changers, const std::string& pagePath,
                   bool replaceExisting, report::ReportLog& log, unsigned jobs = 0);

}  // namespace sorrelwick::mod
