#pragma once
// The gallery's tiles made away from its window's thread: a tile not yet
// made shows the placeholder and is asked of a worker thread, which reads
// the texture's image, notes its digest and makes its picture, and posts it
// to the window; the window's thread makes the bitmap, puts it in the tile
// cache and draws that tile again. A tile made for the set as it was shown
// before the last reload is dropped, as is one whose image differs from what
// the gallery already showed of that texture. Internal to the gallery.

#include <windows.h>

#include <cstddef>

#include "ui/gallery_state.h"

namespace sorrelwick::ui {

// Brings a made tile to the gallery's window; its LPARAM owns it.
inline constexpr UINT kTileMade = WM_APP + 2;

// Starts the worker of `gallery`, whose window is made; without a thread
// to start, each tile is made on the window's thread when asked for, and
// still arrives by message.
void StartTileWork(Gallery& gallery);

// The tiles asked for until now are of no more use: the set is shown anew.
void ForgetTileWork(Gallery& gallery);

// The slot of `texture`'s tile in the cache, or the placeholder's when it
// has none yet, asking for it then.
int TileSlotFor(Gallery& gallery, std::size_t texture);

// A kTileMade message's tile, which it frees: drawn when it is still wanted.
void TakeMadeTile(Gallery& gallery, LPARAM made);

// Tiles made and not yet taken by their window: none once it is closed.
std::size_t TilesInFlight();

}  // namespace sorrelwick::ui
