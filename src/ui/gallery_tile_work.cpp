#include "ui/gallery_tile_work.h"

// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "format/byte_fields.h"
#include "format/digest.h"
#include "operations/texture_index.h"
#include "operations/texture_picture.h"
#include "platform/win32/wide_text.h"
#include "report/messages.h"
#include "ui/display_scale.h"
#include "ui/picture_bitmap.h"
#include "ui/tile_worker.h"

namespace sorrelwick::ui {
namespace {

constexpr int kCheckerSquare = 8;  // at 96 DPI

// What the worker needs to make one tile, copied: it shares nothing with
// the window's thread.
struct TileRequest {
    HWND window = nullptr;
    std::uint64_t generation = 0;
    std::size_t texture = 0;
    std::string setPath;
    operations::IndexedTexture where;
    std::uint32_t side = 0;
    std::uint32_t checkerSquare = 0;
};

std::atomic<std::size_t> tilesInFlight{0};

struct MadeTile {
    MadeTile() { ++tilesInFlight; }
    ~MadeTile() { --tilesInFlight; }
    MadeTile(const MadeTile&) = delete;
    MadeTile& operator=(const MadeTile&) = delete;

    std::uint64_t generation = 0;
    std::size_t texture = 0;
    std::uint64_t digest = 0;  // of the image the picture was made from
    operations::TexturePicture picture;
};

}  // namespace

struct TileWork {
    explicit TileWork(HWND tilesWindow) : window(tilesWindow) {}
    ~TileWork();

    HWND window;
    // Counts the sets shown: a tile made for an earlier one is dropped.
    std::uint64_t generation = 0;
    // Per texture: asked for, and neither arrived nor dropped since.
    std::vector<bool> asked;
    // Null when no thread could be started.
    std::unique_ptr<TileWorker<TileRequest>> worker;
};

namespace {

// `length` bytes at `offset` of the set, read through a handle that lets
// the set be renamed or replaced meanwhile: the window's thread may be
// rewriting it, and the tile made from what was read is then dropped.
// Empty when they can't be read.
std::vector<std::uint8_t> ReadSharingTheSet(const std::string& setPath, std::uint64_t offset,
                                            std::uint32_t length) {
    const std::optional<std::wstring> path = platform::WidePath(setPath);
    if (!path) return {};
    const HANDLE file = CreateFileW(path->c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::vector<std::uint8_t> bytes;
    LARGE_INTEGER at = {};
    at.QuadPart = static_cast<LONGLONG>(offset);
    // Only a file on a disk: a read of a pipe or a device could wait for ever.
    if (GetFileType(file) == FILE_TYPE_DISK && SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) {
        try {
            bytes.resize(length);
            std::size_t done = 0;
            DWORD got = 0;
            while (
                done < bytes.size() &&
                ReadFile(file, bytes.data() + done,
                         static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24)),
                         &got, nullptr) &&
                got > 0) {
                done += got;
            }
            if (done != bytes.size()) bytes.clear();
        } catch (const std::bad_alloc&) {
            bytes.clear();
        }
    }
    CloseHandle(file);
    return bytes;
}

// On the worker's thread: the tile, posted to the window, which owns it
// from then on.
void MakeTile(TileRequest& request) {
    // Without memory for even this, the tile keeps its placeholder.
    std::unique_ptr<MadeTile> made(new (std::nothrow) MadeTile);
    if (!made) return;
    made->generation = request.generation;
    made->texture = request.texture;
    try {
        const std::vector<std::uint8_t> image =
            ReadSharingTheSet(request.setPath, request.where.offset, request.where.length);
        made->digest = format::DigestOf(format::Bytes(image.data(), image.size()));
        made->picture =
            operations::MakeTileTexturePicture(image, request.side, request.checkerSquare);
    } catch (const std::bad_alloc&) {
        made->picture = {};
        made->picture.reason = report::msg::kNotEnoughMemory;
    }
    if (PostMessageW(request.window, kTileMade, 0, reinterpret_cast<LPARAM>(made.get()))) {
        made.release();
    }
}

// Whether any of tile `texture` is in sight in the list.
bool InView(const Gallery& gallery, std::size_t texture) {
    RECT place = {}, client = {}, both = {};
    place.left = LVIR_BOUNDS;
    if (!SendMessageW(gallery.list, LVM_GETITEMRECT, texture, reinterpret_cast<LPARAM>(&place))) {
        return false;
    }
    GetClientRect(gallery.list, &client);
    return IntersectRect(&both, &place, &client) != FALSE;
}

}  // namespace

TileWork::~TileWork() {
    worker.reset();  // its tile in hand finished and posted
    // The tiles posted and not taken go with the window.
    MSG message;
    while (PeekMessageW(&message, window, kTileMade, kTileMade, PM_REMOVE)) {
        delete reinterpret_cast<MadeTile*>(message.lParam);
    }
}

std::size_t TilesInFlight() {
    return tilesInFlight;
}

void EndTileWork::operator()(TileWork* work) const {
    delete work;
}

void StartTileWork(Gallery& gallery) {
    gallery.tileWork.reset(new TileWork(gallery.window));
    try {
        gallery.tileWork->worker = std::make_unique<TileWorker<TileRequest>>(kTileSlots, MakeTile);
    } catch (const std::system_error&) {
        // Made on the window's thread as asked for.
    }
}

void ForgetTileWork(Gallery& gallery) {
    if (!gallery.tileWork) return;
    TileWork& work = *gallery.tileWork;
    ++work.generation;
    if (work.worker) work.worker->Forget();
    work.asked.assign(gallery.textures.size(), false);
}

int TileSlotFor(Gallery& gallery, std::size_t texture) {
    if (const std::optional<int> slot = gallery.tiles->SlotOf(texture)) return *slot;
    if (!gallery.tileWork || texture >= gallery.tileWork->asked.size()) return -1;
    TileWork& work = *gallery.tileWork;
    if (work.asked[texture]) {
        // In view again: before the tiles asked for since.
        if (work.worker) work.worker->Raise(texture);
        return TileCache::kPlaceholder;
    }
    work.asked[texture] = true;
    TileRequest request{gallery.window,
                        work.generation,
                        texture,
                        gallery.setPath,
                        gallery.textures[texture],
                        static_cast<std::uint32_t>(gallery.tiles->Side()),
                        static_cast<std::uint32_t>(AtDpi(kCheckerSquare, gallery.dpi))};
    if (!work.worker) {
        MakeTile(request);
        return TileCache::kPlaceholder;
    }
    // Dropped unmade: asked for again when next drawn.
    for (const std::size_t dropped : work.worker->Ask(texture, std::move(request))) {
        work.asked[dropped] = false;
    }
    return TileCache::kPlaceholder;
}

void TakeMadeTile(Gallery& gallery, LPARAM lParam) {
    const std::unique_ptr<MadeTile> made(reinterpret_cast<MadeTile*>(lParam));
    if (!made || !gallery.tileWork) return;
    TileWork& work = *gallery.tileWork;
    if (made->generation != work.generation || made->texture >= work.asked.size()) {
        return;
    }
    const std::size_t texture = made->texture;
    if (!InView(gallery, texture)) {
        // Out of sight, its slot would push out one in sight: asked for
        // again when it comes back.
        work.asked[texture] = false;
        return;
    }
    // The set changed since the gallery first showed this texture: the
    // placeholder stays until the set is shown anew, as an action on the
    // tile then finds.
    std::optional<std::uint64_t>& shown = gallery.shown[texture];
    if (shown && *shown != made->digest) return;
    shown = made->digest;
    const OwnedBitmap tile =
        made->picture.bgra.empty()
            ? ReasonBitmap(made->picture.reason, gallery.tiles->Side(), gallery.font.get())
            : PictureBitmap(made->picture);
    if (gallery.tiles->Put(texture, tile) < 0) return;  // the placeholder stays
    work.asked[texture] = false;
    SendMessageW(gallery.list, LVM_REDRAWITEMS, texture, static_cast<LPARAM>(texture));
}

}  // namespace sorrelwick::ui
