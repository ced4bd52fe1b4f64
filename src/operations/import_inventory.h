#pragma once
// The names of the .tga files (and, when converting, the pictures image
// editors save) in an import folder. Each texture's name is taken out when
// the texture is met, so the names left at the end are those of files that
// belong to no texture.

#include <forward_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/report_log.h"

namespace sorrelwick::operations {

// Newest entry first: the names stand in the reverse of the order in which
// the directory search returned them. Lives for one replacement only.
struct ImportInventory {
    std::forward_list<std::string> names;
    // Every name the search returned, in its order; stays whole while the
    // textures take their names out of `names`.
    std::vector<std::string> listing;
};

// Gathers every "*.tga" entry of `folder`, folders included, and then, with
// `withPictures`, every entry of each extension of kPictureExtensions. A folder that does not exist or holds no
// such entry gives an empty inventory. False when an entry can't be
// obtained; the names gathered so far stay.
bool ScanImportFolder(ImportInventory& inventory, std::string_view folder, bool withPictures = false);

// Takes out the first entry from the head whose name equals `name`, ignoring
// the case of ASCII letters; nothing happens when none matches.
void RemoveInventoryName(ImportInventory& inventory, std::string_view name);

// The first name of the folder's listing that equals `name`, ignoring the
// case of ASCII letters, as the folder spells it; nullopt when none does.
// The same name finds the same file however often it is asked for.
std::optional<std::string> ListedNameFor(const ImportInventory& inventory, std::string_view name);

// One "file not part of" line per entry, from the head.
void ReportLeftovers(const ImportInventory& inventory, std::string_view setName,
                     report::ReportLog& log);

void ClearInventory(ImportInventory& inventory);

}  // namespace sorrelwick::operations
