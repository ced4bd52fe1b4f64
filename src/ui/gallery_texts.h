#pragma once
// What the gallery writes: a tile's label, its questions, and the report
// lines of a drop that replaces nothing.

#include <string>
#include <string_view>
#include <vector>

#include "operations/texture_index.h"

namespace sorrelwick::ui {

// The name, and under it the size and depth: "wood.tga\n64x64, 24 bits".
std::string TileLabel(const operations::IndexedTexture& texture);

// A file dropped beside the tiles, not on one.
std::string DroppedBesideTilesLine(std::string_view name);

// Several files dropped at once: one texture takes one file.
std::string DroppedSeveralLine(const std::vector<std::string>& names);

// A report line as the status line shows it: the report's columns closed
// up (no leading spaces, two between columns), so that the outcome at the
// line's end is in sight in a narrow window.
std::string StatusText(std::string_view line);

// The set is no longer what the gallery showed at the tile acted on.
std::string SetChangedLine(std::string_view setName);

// The texture other than `target` whose name, without its extension and in
// any case, is the dropped file's `fileName`'s; npos when none is.
std::size_t TextureNamedAs(const std::vector<operations::IndexedTexture>& textures,
                           std::size_t target, std::string_view fileName);

// "Replace marble_black.tga with frame_green.tga?"
std::string ReplaceWithQuestion(std::string_view texture, std::string_view fileName);

// The name an edited texture's PNG takes: the texture's stem and ".png",
// "wood.png" for "wood.tga"; a name that would leave the folder or that
// Windows refuses has those characters as "_", and one that names a device
// ("con", "lpt1") starts with "_".
std::string EditingFileName(std::string_view texture);

// "wood.tga opened in your image editor as C:\...\wood.png; each save
// goes into the set".
std::string EditorOpenedLine(std::string_view texture, std::string_view path);
// No editor started for the file at `path`; its reason follows, and then
// kExtractInstead.
std::string EditorNotStartedLine(std::string_view path);
inline constexpr char kExtractInstead[] =
    "Use \"Extract...\" on the tile and open the file in your editor yourself instead";
// The PNG for the editor could not be written at `path`.
std::string EditingFileNotWrittenLine(std::string_view texture, std::string_view path);

}  // namespace sorrelwick::ui
