#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "backup/session_backup.h"
#include "report/report_log.h"
#include "set_file/tool_state.h"

namespace sorrelwick::operations {

struct ReplaceOptions {
    // Also take a texture's picture (.png, .psd, .bmp, .gif, .jpg, .jpeg, in
    // that order) when its .tga is missing, and convert a file of another
    // form (depth, image type, origin; another format) to the stored
    // texture's form before the checks. Without it, files are taken as they
    // are, but for a PNG of the stored depth, which is converted all the
    // same (a PNG can never be taken as it is).
    bool convert = false;
    // Scale a picture whose sides differ from the stored texture's to them;
    // implies `convert`. Without it the sides stay, and must be powers of two.
    bool fit = false;
    // The editing session the rewrite belongs to, when there is one: only
    // its first rewrite keeps a backup (backup/session_backup.h).
    backup::SessionBackup* session = nullptr;
};

// Rewrites the loaded chess set through the guarded rewrite, putting the
// bytes of `folder`'s .tga file named like each texture in place of its
// image when the colour depth matches and the sides are powers of two.
// Reports one line per texture and one per .tga file that matched none.
// A folder that is missing or can't be searched gets one line, and the set
// is not touched. False when a guard fails or the rewrite failed; a texture
// that could not be imported does not make it fail, but a file found for a
// texture and refused counts in `filesRefused` (when given); a texture with
// no file does not.
bool ReplaceTextures(const ToolState& state, std::string_view folder, report::ReportLog* log,
                     ReplaceOptions options = {}, std::size_t* filesRefused = nullptr);

// A texture named as the listing prints it ("NAME", or "NAME#2" for the
// second of that name) and the file to put in its place.
struct TextureFile {
    std::string texture;
    std::string path;
};

// The same rewrite with each named texture taken from its own file instead of
// a folder's: one line per named texture, none for the others, and no
// leftovers. A name that is not in the set gets one line, and the set is not
// touched; nor is it when no file would be taken (each refusal has its line,
// and every named file missing or refused counts in `filesRefused`).
bool ReplaceNamedTextures(const ToolState& state, const std::vector<TextureFile>& files,
                          report::ReportLog* log, ReplaceOptions options = {},
                          std::size_t* filesRefused = nullptr);

// The same for the set's textures numbered `textures` (from 0, in file
// order), all taken from the file at `path`.
bool ReplaceTexturesAt(const ToolState& state, const std::vector<std::size_t>& textures,
                       const std::string& path, report::ReportLog* log, ReplaceOptions options = {},
                       std::size_t* filesRefused = nullptr);

// The same for the set's texture number `texture` (from 0, in file order)
// and the file at `path`.
bool ReplaceTextureAt(const ToolState& state, std::size_t texture, const std::string& path,
                      report::ReportLog* log, ReplaceOptions options = {},
                      std::size_t* filesRefused = nullptr);

}  // namespace sorrelwick::operations
