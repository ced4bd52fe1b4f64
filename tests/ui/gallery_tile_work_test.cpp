// The gallery's tiles made away from the window's thread: each shows the
// placeholder until its picture arrives, then its own texture's picture,
// never one made for the set shown before; the gallery closes with tiles
// still being made and opens again with its pictures.

#include "ui/gallery_tile_work.h"

#include "gallery_fixture.h"

namespace sorrelwick::test {
namespace {

class GalleryTiles : public Gallery {
protected:
    // The tiles any of which is in sight.
    std::vector<int> TilesInView() const {
        std::vector<int> inView;
        RECT client = {};
        GetClientRect(Tiles(), &client);
        const auto count = static_cast<int>(SendMessageW(Tiles(), LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            RECT place = {}, both = {};
            place.left = LVIR_BOUNDS;
            SendMessageW(Tiles(), LVM_GETITEMRECT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&place));
            if (IntersectRect(&both, &place, &client)) inView.push_back(i);
        }
        return inView;
    }
    // The picture of `texture`'s tile at the screen's scale.
    static std::vector<std::uint8_t> TileOf(const Texture& texture) {
        const auto dpi = static_cast<UINT>(ScreenDpi());
        return operations::MakeTileTexturePicture(texture.image.file,
                                                  static_cast<std::uint32_t>(ui::AtDpi(128, dpi)),
                                                  static_cast<std::uint32_t>(ui::AtDpi(8, dpi)))
            .bgra;
    }
    // Runs the window's messages until a made tile waits among them.
    static bool WaitForAMadeTile() {
        const ULONGLONG giveUp = GetTickCount64() + 10000;
        MSG message;
        while (!PeekMessageW(&message, nullptr, ui::kTileMade, ui::kTileMade, PM_NOREMOVE)) {
            if (GetTickCount64() > giveUp) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
        }
        return true;
    }
    // Every tile in view shows its own texture's picture once it arrived.
    void ExpectTilesInViewOf(const std::vector<Texture>& textures) const {
        const std::vector<int> inView = TilesInView();
        ASSERT_FALSE(inView.empty());
        for (const int i : inView) EXPECT_EQ(TilePixels(i), TileOf(textures[Count(i)])) << i;
    }
};

// Each row brings tiles into view in its own way; their pictures were not
// made while the list drew them, and each arrives as its own texture's.
TEST_F(GalleryTiles, ShowThePlaceholderUntilTheirOwnPicturesArrive) {
    const std::vector<Texture> textures = Numbered(60);
    const int last = static_cast<int>(textures.size()) - 1;
    const struct {
        const char* what;
        std::function<void()> bringIntoView;
    } cases[] = {
        {"the gallery opened", [] {}},
        {"scrolled to the end before the first ones arrived",
         [&] { SendMessageW(Tiles(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(last), FALSE); }},
        {"back at the start once the last ones arrived",
         [&] {
             SendMessageW(Tiles(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(last), FALSE);
             UpdateWindow(Tiles());
             TilePixels(last);
             SendMessageW(Tiles(), LVM_ENSUREVISIBLE, 0, FALSE);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ui::CloseGallery();
        Open(textures);
        c.bringIntoView();
        UpdateWindow(Tiles());
        // Drawn, and no message handled since: a picture made while the
        // list drew would be there already.
        for (const int i : TilesInView()) {
            EXPECT_EQ(TileSlot(i), ui::TileCache::kPlaceholder) << i;
        }
        ExpectTilesInViewOf(textures);
    }
}

// Another set loaded while tiles of the one before were made and not yet
// taken: as each message is handled, no tile ever shows a picture of the
// set before.
TEST_F(GalleryTiles, ATileMadeForTheSetShownBeforeIsNeverDrawn) {
    const std::vector<Texture> before = Numbered(8);
    // The same names, each at another place: its picture tells the set.
    const std::vector<Texture> now(before.rbegin(), before.rend());
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("set2.DAT"), SetOf(now)));
    Open(before);
    ASSERT_TRUE(WaitForAMadeTile());
    Load(dir.File("set2.DAT"));
    const std::vector<int> inView = TilesInView();
    ASSERT_FALSE(inView.empty());
    const ULONGLONG giveUp = GetTickCount64() + 10000;
    for (std::size_t arrived = 0; arrived < inView.size() && GetTickCount64() < giveUp;) {
        MSG message;
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            continue;
        }
        DispatchMessageW(&message);
        arrived = 0;
        for (const int i : inView) {
            const int slot = TileSlot(i);
            if (slot == ui::TileCache::kPlaceholder) continue;
            ++arrived;
            ASSERT_EQ(SlotPixels(slot), TileOf(now[Count(i)])) << i;
        }
    }
    ExpectTilesInViewOf(now);
}

// Closed at once, by the gallery's own Escape or with the main window, while
// its worker still makes tiles: nothing breaks, and opened again it shows
// its pictures.
TEST_F(GalleryTiles, ClosesWhileTilesAreMadeAndOpensAgainWithThem) {
    const std::vector<Texture> textures = Numbered(60);
    const struct {
        const char* what;
        bool withTheMainWindow;
    } cases[] = {{"Escape", false}, {"the main window closed", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Open(textures);
        ASSERT_TRUE(WaitForAMadeTile());
        if (c.withTheMainWindow) {
            DestroyWindow(window);
            TakeQuitRequest();
            window = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(SORRELWICK_MAIN_WINDOW), nullptr,
                                        ui::MainWindowProcedure, 0);
            ASSERT_NE(window, nullptr);
            list = Item(SORRELWICK_REPORT_LIST);
        } else {
            SendMessageW(gallery, WM_COMMAND, IDCANCEL, 0);
        }
        EXPECT_FALSE(IsWindow(gallery));
        EXPECT_EQ(ui::GalleryWindow(), nullptr);
        // What the worker made before it ended went with the window.
        EXPECT_EQ(ui::TilesInFlight(), 0u);
        Open(textures);
        ExpectTilesInViewOf(textures);
    }
}

}  // namespace
}  // namespace sorrelwick::test
