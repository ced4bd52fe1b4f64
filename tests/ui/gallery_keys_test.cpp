// The gallery from the keyboard, through the program's message loop: Tab
// and Shift+Tab through tiles, view options and buttons, the underlined
// letters with Alt, Enter fitting the view, Escape closing; and its
// controls whole and in place at every size it can take.

#include "gallery_fixture.h"

namespace sorrelwick::test {
namespace {

// A key as the message loop takes it from the queue, with Shift held or not.
bool Key(HWND to, UINT message, WPARAM key, bool shift = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE shiftWas = keys[VK_SHIFT];
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    const bool alt = message == WM_SYSCHAR || message == WM_SYSKEYDOWN;
    MSG m = {to, message, key, alt ? LPARAM{1} << 29 : 0, 0, {}};
    const bool taken = ui::TakeGalleryKey(m);
    keys[VK_SHIFT] = shiftWas;
    SetKeyboardState(keys);
    return taken;
}

TEST_F(Gallery, TheKeyboardReachesEveryControlAndItsLettersWork) {
    Open(Textures());
    // Tab visits the tab stops in order and comes back; Shift+Tab goes back.
    // The channel switches take the keys where the texture has an alpha
    // channel, at the one chosen.
    const struct {
        int tile;
        std::vector<int> order;
    } cycles[] = {
        {1,
         {SORRELWICK_EDIT_TEXTURE, SORRELWICK_VIEW_BOTH, SORRELWICK_VIEW_FITTED,
          SORRELWICK_GALLERY_CONVERT, SORRELWICK_GALLERY_FIT, SORRELWICK_WEB_PAGE_BUTTON,
          SORRELWICK_GALLERY_LIST}},
        {0,
         {SORRELWICK_EDIT_TEXTURE, SORRELWICK_VIEW_FITTED, SORRELWICK_GALLERY_CONVERT,
          SORRELWICK_GALLERY_FIT, SORRELWICK_WEB_PAGE_BUTTON, SORRELWICK_GALLERY_LIST}},
    };
    for (const auto& cycle : cycles) {
        SCOPED_TRACE(cycle.tile);
        SelectTile(cycle.tile);
        SetFocus(Tiles());
        ASSERT_EQ(GetFocus(), Tiles());
        for (const int id : cycle.order) {
            EXPECT_TRUE(Key(GetFocus(), WM_KEYDOWN, VK_TAB));
            EXPECT_EQ(GetDlgCtrlID(GetFocus()), id);
        }
        for (auto id = cycle.order.rbegin() + 1; id != cycle.order.rend(); ++id) {
            EXPECT_TRUE(Key(GetFocus(), WM_KEYDOWN, VK_TAB, true));
            EXPECT_EQ(GetDlgCtrlID(GetFocus()), *id);
        }
    }
    SetFocus(Tiles());

    const auto checked = [this](int id) { return IsDlgButtonChecked(gallery, id) == BST_CHECKED; };
    const struct {
        const char* what;
        UINT message;
        WPARAM key;
        int box;  // the box the key ticks or clears
    } letters[] = {
        {"Alt+F", WM_SYSCHAR, 'f', SORRELWICK_VIEW_FITTED},
        {"Alt+O", WM_SYSCHAR, 'o', SORRELWICK_GALLERY_CONVERT},
        {"Alt+S", WM_SYSCHAR, 's', SORRELWICK_GALLERY_FIT},
        {"Enter", WM_KEYDOWN, VK_RETURN, SORRELWICK_VIEW_FITTED},
        {"Alt+A", WM_SYSCHAR, 'a', SORRELWICK_VIEW_ALPHA},
    };
    SelectTile(1);  // the texture with an alpha channel
    for (const auto& letter : letters) {
        SCOPED_TRACE(letter.what);
        const bool was = checked(letter.box);
        EXPECT_TRUE(Key(Tiles(), letter.message, letter.key));
        EXPECT_NE(checked(letter.box), was);
    }
    EXPECT_EQ(ui::TextureViewPicture(view)->bgra.size(), 2u * 2u * 4u);

    // Alt+W: the page, as from the button.
    saveAnswer = std::nullopt;
    EXPECT_TRUE(Key(Tiles(), WM_SYSCHAR, 'w'));
    EXPECT_EQ(saveRequests.size(), 1u);

    EXPECT_FALSE(Key(Item(SORRELWICK_LOAD_BUTTON), WM_KEYDOWN, VK_ESCAPE))
        << "the main window's keys stay its own";
    EXPECT_TRUE(Key(Tiles(), WM_KEYDOWN, VK_ESCAPE));
    EXPECT_EQ(ui::GalleryWindow(), nullptr);
}

// Every control inside the client area, none over another, its text whole,
// at the size the gallery opens at, the smallest it can be made, and a
// large one; the status line under the tiles.
TEST_F(Gallery, EveryControlStaysWholeAtEverySize) {
    Open(Textures());
    MINMAXINFO limits = {};
    SendMessageW(gallery, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    RECT opened = {};
    GetWindowRect(gallery, &opened);
    const auto dpi = static_cast<UINT>(ScreenDpi());
    const struct {
        SIZE size;
        UINT dpi;  // another than the screen's: moved to a monitor of that scale
    } sizes[] = {
        {{opened.right - opened.left, opened.bottom - opened.top}, dpi},
        {{limits.ptMinTrackSize.x, limits.ptMinTrackSize.y}, dpi},
        {{ui::AtDpi(1500, dpi), ui::AtDpi(900, dpi)}, dpi},
        {{limits.ptMinTrackSize.x + 1, limits.ptMinTrackSize.y + 3}, dpi},
        {{2 * (opened.right - opened.left), 2 * (opened.bottom - opened.top)}, 2 * dpi},
    };
    const int ids[] = {
        SORRELWICK_GALLERY_LIST,    SORRELWICK_GALLERY_VIEW, SORRELWICK_VIEW_COLOUR,
        SORRELWICK_VIEW_ALPHA,      SORRELWICK_VIEW_BOTH,    SORRELWICK_VIEW_FITTED,
        SORRELWICK_GALLERY_CONVERT, SORRELWICK_GALLERY_FIT,  SORRELWICK_WEB_PAGE_BUTTON,
        SORRELWICK_GALLERY_STATUS,  SORRELWICK_EDIT_TEXTURE};
    for (const auto& [size, scale] : sizes) {
        SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy) + " at " +
                     std::to_string(scale));
        if (scale == dpi) {
            SetWindowPos(gallery, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        } else {
            RECT suggested = {0, 0, size.cx, size.cy};
            SendMessageW(gallery, WM_DPICHANGED, MAKEWPARAM(scale, scale),
                         reinterpret_cast<LPARAM>(&suggested));
        }
        // Tiles of the scale's size.
        int side = 0, height = 0;
        ImageList_GetIconSize(
            reinterpret_cast<HIMAGELIST>(SendMessageW(Tiles(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0)),
            &side, &height);
        EXPECT_EQ(side, ui::AtDpi(128, scale));
        RECT client = {};
        GetClientRect(gallery, &client);
        std::vector<RECT> places;
        for (const int id : ids) {
            const HWND control = GetDlgItem(gallery, id);
            const RECT place = PlaceIn(gallery, control);
            SCOPED_TRACE(id);
            EXPECT_TRUE(IsWindowVisible(control));
            EXPECT_GE(place.left, 0);
            EXPECT_GE(place.top, 0);
            EXPECT_LE(place.right, client.right);
            EXPECT_LE(place.bottom, client.bottom);
            EXPECT_GT(place.bottom - place.top, 0);
            const std::string text = WindowText(control);
            if (id != SORRELWICK_GALLERY_LIST && id != SORRELWICK_GALLERY_STATUS && !text.empty()) {
                // A box's text starts after its square, about a line high.
                EXPECT_LE(DrawnWidth(control, text) + (place.bottom - place.top),
                          place.right - place.left)
                    << text;
            }
            for (const RECT& other : places) {
                RECT both = {};
                EXPECT_FALSE(IntersectRect(&both, &place, &other)) << "overlaps";
            }
            places.push_back(place);
        }
        const RECT tiles = PlaceIn(gallery, Tiles());
        const RECT status = PlaceIn(gallery, GetDlgItem(gallery, SORRELWICK_GALLERY_STATUS));
        EXPECT_GE(status.top, tiles.bottom);
        EXPECT_EQ(status.left, tiles.left);
    }
}

}  // namespace
}  // namespace sorrelwick::test
