#pragma once
// What the gallery window keeps, shared by its window procedure and its
// actions on one texture. Internal to the gallery.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "operations/texture_index.h"
#include "operations/texture_picture.h"
#include "ui/gallery_tiles.h"
#include "ui/report_font.h"

namespace sorrelwick::ui {

// The textures opened in the user's image editor and the watch of their
// folder (texture_editing.h).
struct TextureEdits;
struct EndTextureEdits {
    void operator()(TextureEdits* edits) const;
};

// The thread that makes the tiles, and what was asked of it
// (gallery_tile_work.h).
struct TileWork;
struct EndTileWork {
    void operator()(TileWork* work) const;
};

// Tiles kept drawn: more than a maximised window shows at once. Also the
// most tiles waiting to be made.
inline constexpr int kTileSlots = 128;

struct Gallery {
    HWND mainWindow = nullptr;
    HWND window = nullptr;
    HWND list = nullptr;  // made anew for every set shown
    HWND view = nullptr;
    UINT dpi = 96;
    OwnedFont font;
    std::unique_ptr<TileCache> tiles;
    // From the window's creation until it is destroyed.
    std::unique_ptr<TileWork, EndTileWork> tileWork;
    std::string setPath;  // of the set shown; empty when none is
    std::string setName;
    std::vector<operations::IndexedTexture> textures;
    // Per texture, the digest of the image its tile or the view was first
    // drawn from since the set was shown; none until it was drawn. A tile
    // made from another image is not drawn.
    std::vector<std::optional<std::uint64_t>> shown;
    operations::ChannelView channel = operations::ChannelView::Both;
    bool fitted = false;
    // None until a texture is opened in the user's editor; ends with the
    // gallery or when another set is shown.
    std::unique_ptr<TextureEdits, EndTextureEdits> edits;
};

// The gallery's window procedure's side: shows the loaded set as it now is.
// The same set keeps its selection and scroll position; another starts at
// its first texture.
void Reload(Gallery& gallery);

// The selected tile, if any, and selecting one (brought into view).
std::optional<std::size_t> Selected(const Gallery& gallery);
void Select(const Gallery& gallery, std::size_t texture);

// `texture`'s image as the set holds it now; the digest of the first one
// read is noted as the one shown.
std::vector<std::uint8_t> ShownImage(Gallery& gallery, std::size_t texture);

// Puts `line` in the main window's report and in the status line.
void Tell(const Gallery& gallery, const std::string& line);
void ShowStatus(const Gallery& gallery, const std::string& line);

HWND ReportListOf(const Gallery& gallery);

}  // namespace sorrelwick::ui
