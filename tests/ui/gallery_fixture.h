#pragma once
// The gallery's window tests share: a set of textures of every kind the
// tiles draw, and the real gallery opened from the real main window, with
// its tiles read back as a user sees them.

#include <algorithm>
#include <filesystem>

#include "generators/tga_builder.h"
#include "operations/texture_picture.h"
#include "ui/display_scale.h"
#include "ui/gallery_tiles.h"
#include "ui/gallery_window.h"
#include "ui/question_box.h"
#include "ui/texture_view.h"
#include "window_test_support.h"
// After windows.h, which it needs.
#include <commctrl.h>

namespace sorrelwick::test {

inline std::size_t Count(long value) {
    return static_cast<std::size_t>(value);
}

// Distinct colours, so that a pixel from the wrong place shows.
inline gen::Rgba Pattern(unsigned x, unsigned y) {
    return {static_cast<std::uint8_t>(40 * x + 10), static_cast<std::uint8_t>(60 * y + 20),
            static_cast<std::uint8_t>(200 - 30 * x), 255};
}
// Opaque where x + y is even, transparent elsewhere.
inline gen::Rgba HalfClear(unsigned x, unsigned y) {
    const gen::Rgba colour = Pattern(x, y);
    return {colour.r, colour.g, colour.b, static_cast<std::uint8_t>((x + y) % 2 ? 0 : 255)};
}

struct Texture {
    std::string name;
    std::uint16_t width, height;
    std::uint8_t depth;
    gen::BuiltTga image;
};

// A 24-bit, a 32-bit with alpha, a run-length texture, and one whose image
// type is not shown.
inline std::vector<Texture> Textures() {
    gen::TgaLayout runLength;
    runLength.imageType = 10;
    gen::TgaLayout alpha;
    alpha.depth = 32;
    std::vector<Texture> textures = {
        {"wood.tga", 4, 2, 24, gen::BuildTga({}, 4, 2, Pattern)},
        {"glass.tga", 2, 2, 32, gen::BuildTga(alpha, 2, 2, HalfClear)},
        {"felt.tga", 2, 4, 24, gen::BuildTga(runLength, 2, 4, Pattern)},
        {"odd.tga", 2, 2, 24, {}},
    };
    textures[3].image.file = gen::MakeTga(2, 2, 24);
    textures[3].image.file[2] = 32;  // an image type no decoder reads
    return textures;
}

inline std::vector<std::uint8_t> SetOf(const std::vector<Texture>& textures) {
    gen::ChessSetBuilder set;
    set.Signature();
    for (const Texture& texture : textures) {
        set.TextureReference(texture.name).TextureImage(texture.image.file);
    }
    return set.Bytes();
}

// `count` textures tex0.tga, tex1.tga, ... of 24 bits, 4 pixels high and
// 2, 4, 8, 16, 2, ... wide, so that a picture tells which texture it is.
inline std::vector<Texture> Numbered(int count) {
    std::vector<Texture> textures;
    for (int i = 0; i < count; ++i) {
        const auto width = static_cast<std::uint16_t>(2 << (i % 4));
        textures.push_back({"tex" + std::to_string(i) + ".tga", width, 4, 24,
                            gen::BuildTga({}, width, 4, Pattern)});
    }
    return textures;
}

class Gallery : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        questions.clear();
        answer = IDNO;
        ui::ReplaceQuestionBoxForTests(&AnswerQuestion);
    }
    void TearDown() override {
        ui::ReplaceQuestionBoxForTests(nullptr);
        MainWindowTest::TearDown();
    }
    static int WINAPI AnswerQuestion(HWND, LPCWSTR text, LPCWSTR, UINT) {
        questions.push_back(Utf8(text));
        return answer;
    }
    std::string Status() const {
        return WindowText(GetDlgItem(gallery, SORRELWICK_GALLERY_STATUS));
    }
    // Clicks tile `i` as the mouse would, after bringing it into view; the
    // tile the list's own hit test finds there.
    LRESULT ClickTile(int i) const {
        SendMessageW(Tiles(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(i), FALSE);
        UpdateWindow(Tiles());
        POINT at = TileMiddle(i);
        MapWindowPoints(gallery, Tiles(), &at, 1);
        LVHITTESTINFO hit = {};
        hit.pt = at;
        const LRESULT found = SendMessageW(Tiles(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        // The release waits in the queue for the list's own wait for it.
        PostMessageW(Tiles(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        SendMessageW(Tiles(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        return found;
    }
    LRESULT SelectedTile() const {
        return SendMessageW(Tiles(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    }
    void Open(const std::vector<Texture>& textures) {
        ASSERT_TRUE(gen::WriteWholeFile(dir.File("set1.DAT"), SetOf(textures)));
        Load(dir.File("set1.DAT"));
        Click(SORRELWICK_PREVIEW_BUTTON);
        gallery = ui::GalleryWindow();
        ASSERT_NE(gallery, nullptr);
        view = GetDlgItem(gallery, SORRELWICK_GALLERY_VIEW);
    }
    Lines Labels() const {
        Lines labels;
        const auto count = SendMessageW(Tiles(), LVM_GETITEMCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[300] = {};
            LVITEMW item = {};
            item.pszText = text;
            item.cchTextMax = 300;
            SendMessageW(Tiles(), LVM_GETITEMTEXTW, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&item));
            labels.push_back(Utf8(text));
        }
        return labels;
    }
    // The image list's slot tile `i` shows now: the placeholder's until
    // its picture arrived.
    int TileSlot(int i) const {
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        SendMessageW(Tiles(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }
    // Runs the messages until tile `i` shows its picture; its slot then,
    // the placeholder's after ten seconds without.
    int ArrivedTileSlot(int i) const {
        const ULONGLONG giveUp = GetTickCount64() + 10000;
        for (;;) {
            const int slot = TileSlot(i);
            if (slot != ui::TileCache::kPlaceholder || GetTickCount64() > giveUp) return slot;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        }
    }
    // Tile `i`'s picture as the image list holds it, once it arrived: side x
    // side BGRA, rows from the top; empty when none arrived.
    std::vector<std::uint8_t> TilePixels(int i) const {
        const int slot = ArrivedTileSlot(i);
        return slot == ui::TileCache::kPlaceholder ? std::vector<std::uint8_t>{} : SlotPixels(slot);
    }
    std::vector<std::uint8_t> SlotPixels(int slot) const {
        const auto images =
            reinterpret_cast<HIMAGELIST>(SendMessageW(Tiles(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
        IMAGEINFO info = {};
        if (slot < 0 || !ImageList_GetImageInfo(images, slot, &info)) return {};
        const int side = info.rcImage.right - info.rcImage.left;
        BITMAPINFO header = {};
        header.bmiHeader = {sizeof header.bmiHeader, side, -side, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<std::uint8_t> pixels(Count(side) * Count(side) * 4);
        const HDC dc = GetDC(nullptr);
        // The image list keeps its images side by side in one bitmap.
        std::vector<std::uint8_t> whole;
        BITMAP bitmap = {};
        GetObjectW(info.hbmImage, sizeof bitmap, &bitmap);
        header.bmiHeader.biWidth = bitmap.bmWidth;
        header.bmiHeader.biHeight = -bitmap.bmHeight;
        whole.resize(Count(bitmap.bmWidth) * Count(bitmap.bmHeight) * 4);
        GetDIBits(dc, info.hbmImage, 0, static_cast<UINT>(bitmap.bmHeight), whole.data(), &header,
                  DIB_RGB_COLORS);
        ReleaseDC(nullptr, dc);
        for (int y = 0; y < side; ++y) {
            const std::size_t from =
                (Count(info.rcImage.top + y) * Count(bitmap.bmWidth) + Count(info.rcImage.left)) *
                4;
            std::copy_n(whole.begin() + static_cast<std::ptrdiff_t>(from), side * 4,
                        pixels.begin() + static_cast<std::ptrdiff_t>(y) * side * 4);
        }
        return pixels;
    }
    void SelectTile(int i) const {
        LVITEMW state = {};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(Tiles(), LVM_SETITEMSTATE, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&state));
    }
    // The middle of tile `i`, in the gallery's client area.
    POINT TileMiddle(int i) const {
        RECT place = {};
        place.left = LVIR_ICON;
        SendMessageW(Tiles(), LVM_GETITEMRECT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&place));
        POINT middle = {(place.left + place.right) / 2, (place.top + place.bottom) / 2};
        MapWindowPoints(Tiles(), gallery, &middle, 1);
        return middle;
    }
    // Asks for tile `i`'s menu and chooses its item `choice` (from 0).
    void ChooseFromMenu(int i, int choice) {
        POINT at = TileMiddle(i);
        MapWindowPoints(gallery, nullptr, &at, 1);
        chosenItem = choice;
        SetTimer(nullptr, 0, 20, ChooseItem);
        SendMessageW(gallery, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Tiles()),
                     MAKELPARAM(at.x, at.y));
    }
    static void CALLBACK ChooseItem(HWND, UINT, UINT_PTR timer, DWORD) {
        const HWND popup = FindWindowW(L"#32768", nullptr);
        if (!popup) return;
        KillTimer(nullptr, timer);
        menuItems.clear();
        const auto shown = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(shown); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(shown, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            menuItems.push_back(Utf8(text));
        }
        for (int i = 0; i <= chosenItem; ++i) PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
    }

    static inline Lines questions;
    static inline int answer = IDNO;
    static inline int chosenItem = 0;
    static inline Lines menuItems;
    // The tiles are a list made anew for every set shown.
    HWND Tiles() const { return GetDlgItem(gallery, SORRELWICK_GALLERY_LIST); }
    HWND gallery = nullptr, view = nullptr;
};

// The pixel at (x, y) of a picture `side` pixels wide, B, G, R, A.
inline gen::Rgba PixelAt(const std::vector<std::uint8_t>& bgra, int side, int x, int y) {
    const std::size_t at = (Count(y) * Count(side) + Count(x)) * 4;
    return {bgra[at + 2], bgra[at + 1], bgra[at], bgra[at + 3]};
}
}  // namespace sorrelwick::test
