#pragma once
// The mods of one folder as a window lists them: each one's title, author
// and state against the loaded set, and the other mods of the folder that
// change a piece it changes. Reads the set once and each mod's manifest
// only, as `mods` does.

#include <optional>
#include <string>
#include <vector>

#include "mod/zip_archive.h"
#include "report/report_log.h"
#include "set_file/tool_state.h"

namespace sorrelwick::mod {

struct ModOverview {
    std::string path;
    std::string name;  // its file name
    bool readable = false;
    std::string title, author;
    // As `mods` tells it ("Applied", "Partly applied (1 of 2 pieces)"), or,
    // for a mod that can't be read, the line that says why.
    std::string state;
    // The file names of the other mods that change a piece this one
    // changes, in the folder's order.
    std::vector<std::string> sharesPiecesWith;
};

// The mods of `folder` in name order; nullopt with its line in `log` when
// the folder can't be searched, holds no mod, or the set can't be read.
std::optional<std::vector<ModOverview>> OverviewOfMods(const ToolState& state,
                                                       const std::string& folder,
                                                       report::ReportLog& log);

// The mod's image of the first texture it changes; nullopt when it changes
// none or can't be read. Reads the mod whole.
std::optional<ByteVector> FirstChangedImage(const std::string& modPath);

}  // namespace sorrelwick::mod
