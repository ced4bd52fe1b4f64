// The gallery as a user meets it: a tile per texture with its picture and
// label, the view's switches, and a texture replaced by a file dropped on
// its tile or chosen from its menu, extracted from the menu; the gallery
// following the set the main window shows.

#include <filesystem>

#include "generators/tga_builder.h"
#include "operations/texture_picture.h"
#include "report/messages.h"
#include "ui/display_scale.h"
#include "ui/gallery_window.h"
#include "ui/texture_view.h"
#include "window_test_support.h"
// After windows.h, which it needs.
#include <commctrl.h>

namespace sorrelwick::test {
namespace {

std::size_t Count(long value) {
    return static_cast<std::size_t>(value);
}

// Distinct colours, so that a pixel from the wrong place shows.
gen::Rgba Pattern(unsigned x, unsigned y) {
    return {static_cast<std::uint8_t>(40 * x + 10), static_cast<std::uint8_t>(60 * y + 20),
            static_cast<std::uint8_t>(200 - 30 * x), 255};
}
// Opaque where x + y is even, transparent elsewhere.
gen::Rgba HalfClear(unsigned x, unsigned y) {
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
std::vector<Texture> Textures() {
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

std::vector<std::uint8_t> SetOf(const std::vector<Texture>& textures) {
    gen::ChessSetBuilder set;
    set.Signature();
    for (const Texture& texture : textures) {
        set.TextureReference(texture.name).TextureImage(texture.image.file);
    }
    return set.Bytes();
}

class Gallery : public MainWindowTest {
protected:
    void Open(const std::vector<Texture>& textures) {
        ASSERT_TRUE(gen::WriteWholeFile(dir.File("set1.DAT"), SetOf(textures)));
        Load(dir.File("set1.DAT"));
        Click(SORRELWICK_PREVIEW_BUTTON);
        gallery = ui::GalleryWindow();
        ASSERT_NE(gallery, nullptr);
        tiles = GetDlgItem(gallery, SORRELWICK_GALLERY_LIST);
        view = GetDlgItem(gallery, SORRELWICK_GALLERY_VIEW);
    }
    Lines Labels() const {
        Lines labels;
        const auto count = SendMessageW(tiles, LVM_GETITEMCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[300] = {};
            LVITEMW item = {};
            item.pszText = text;
            item.cchTextMax = 300;
            SendMessageW(tiles, LVM_GETITEMTEXTW, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&item));
            labels.push_back(Utf8(text));
        }
        return labels;
    }
    // Tile `i`'s picture as the image list holds it: side x side BGRA, rows
    // from the top.
    std::vector<std::uint8_t> TilePixels(int i) const {
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        SendMessageW(tiles, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        const auto images =
            reinterpret_cast<HIMAGELIST>(SendMessageW(tiles, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
        IMAGEINFO info = {};
        if (item.iImage < 0 || !ImageList_GetImageInfo(images, item.iImage, &info)) return {};
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
        SendMessageW(tiles, LVM_SETITEMSTATE, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&state));
    }
    // The middle of tile `i`, in the gallery's client area.
    POINT TileMiddle(int i) const {
        RECT place = {};
        place.left = LVIR_ICON;
        SendMessageW(tiles, LVM_GETITEMRECT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&place));
        POINT middle = {(place.left + place.right) / 2, (place.top + place.bottom) / 2};
        MapWindowPoints(tiles, gallery, &middle, 1);
        return middle;
    }
    // Asks for tile `i`'s menu and chooses its item `choice` (from 0).
    void ChooseFromMenu(int i, int choice) {
        POINT at = TileMiddle(i);
        MapWindowPoints(gallery, nullptr, &at, 1);
        chosenItem = choice;
        SetTimer(nullptr, 0, 20, ChooseItem);
        SendMessageW(gallery, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tiles),
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

    static inline int chosenItem = 0;
    static inline Lines menuItems;
    HWND gallery = nullptr, tiles = nullptr, view = nullptr;
};

// The pixel at (x, y) of a picture `side` pixels wide, B, G, R, A.
gen::Rgba PixelAt(const std::vector<std::uint8_t>& bgra, int side, int x, int y) {
    const std::size_t at = (Count(y) * Count(side) + Count(x)) * 4;
    return {bgra[at + 2], bgra[at + 1], bgra[at], bgra[at + 3]};
}

TEST_F(Gallery, ShowsATilePerTextureInFileOrderWithItsPictureAndFollowsTheMainWindow) {
    const std::vector<Texture> textures = Textures();
    Open(textures);
    EXPECT_EQ(WindowText(gallery), "Textures - set1.DAT");
    EXPECT_TRUE(IsWindowEnabled(window)) << "the main window stays usable";
    Lines expected;
    for (const Texture& t : textures) {
        expected.push_back(t.name + "\n" + std::to_string(t.width) + "x" +
                           std::to_string(t.height) + ", " + std::to_string(t.depth) + " bits");
    }
    EXPECT_EQ(Labels(), expected);

    const int dpi = ScreenDpi(), side = ui::AtDpi(128, static_cast<UINT>(dpi));
    const int square = ui::AtDpi(8, static_cast<UINT>(dpi));
    for (int i = 0; i < 3; ++i) {
        const Texture& t = textures[Count(i)];
        SCOPED_TRACE(t.name);
        const std::vector<std::uint8_t> tile = TilePixels(i);
        ASSERT_EQ(tile.size(), Count(side) * Count(side) * 4);
        const int longer = std::max(t.width, t.height);
        const int width = (t.width * side + longer / 2) / longer;
        const int height = (t.height * side + longer / 2) / longer;
        const int left = (side - width) / 2, top = (side - height) / 2;
        for (unsigned ty = 0; ty < t.height; ++ty) {
            for (unsigned tx = 0; tx < t.width; ++tx) {
                const int x = left + static_cast<int>((2 * tx + 1) * Count(width) / (2u * t.width));
                const int y =
                    top + static_cast<int>((2 * ty + 1) * Count(height) / (2u * t.height));
                const std::uint8_t* rgba = &t.image.rgba[(std::size_t{ty} * t.width + tx) * 4];
                const auto checker = static_cast<std::uint8_t>(
                    ((x - left) / square + (y - top) / square) % 2 ? 0xCC : 0xFF);
                const gen::Rgba want = rgba[3] == 255 ? gen::Rgba{rgba[0], rgba[1], rgba[2], 255}
                                                      : gen::Rgba{checker, checker, checker, 255};
                EXPECT_EQ(PixelAt(tile, side, x, y), want) << tx << "," << ty;
            }
        }
        // Outside the picture the tile is clear.
        if (top > 0) {
            EXPECT_EQ(PixelAt(tile, side, side / 2, 0).a, 0);
        }
        if (left > 0) {
            EXPECT_EQ(PixelAt(tile, side, 0, side / 2).a, 0);
        }
    }

    // The view: the alpha switch for the texture with an alpha channel only.
    const auto viewPixel = [this](std::uint32_t x, std::uint32_t y) {
        const operations::TexturePicture* shown = ui::TextureViewPicture(view);
        return PixelAt(shown->bgra, static_cast<int>(shown->width), static_cast<int>(x),
                       static_cast<int>(y));
    };
    const auto enabled = [this](int id) { return IsWindowEnabled(GetDlgItem(gallery, id)) != 0; };
    SelectTile(1);
    EXPECT_TRUE(enabled(SORRELWICK_VIEW_ALPHA));
    SendMessageW(GetDlgItem(gallery, SORRELWICK_VIEW_ALPHA), BM_CLICK, 0, 0);
    EXPECT_EQ(viewPixel(0, 0), (gen::Rgba{255, 255, 255, 255}));
    EXPECT_EQ(viewPixel(1, 0), (gen::Rgba{0, 0, 0, 255}));
    SendMessageW(GetDlgItem(gallery, SORRELWICK_VIEW_COLOUR), BM_CLICK, 0, 0);
    const gen::Rgba clear = HalfClear(1, 0);
    EXPECT_EQ(viewPixel(1, 0), (gen::Rgba{clear.r, clear.g, clear.b, 255}));
    SelectTile(0);
    EXPECT_FALSE(enabled(SORRELWICK_VIEW_ALPHA));
    SelectTile(3);
    EXPECT_EQ(ui::TextureViewPicture(view)->reason, report::msg::FlagNotDecoded(32, 24));

    // Another set loaded in the main window: the gallery shows it.
    ASSERT_TRUE(WriteWoodSet(dir.File("set2.DAT"), gen::MakeTga(8, 8, 32)));
    Load(dir.File("set2.DAT"));
    EXPECT_EQ(WindowText(gallery), "Textures - set2.DAT");
    EXPECT_EQ(Labels(), Lines{"wood.tga\n8x8, 32 bits"});
}

// A file dropped on a tile, or chosen from its menu, replaces that texture
// alone, through a whole rewrite with its backup and report; a drop beside
// the tiles or of several files changes nothing and says why; Extract
// writes the texture where the save dialog says, never over a file.
TEST_F(Gallery, ReplacesTheTextureOfTheTileAFileIsDroppedOnOrChosenFor) {
    std::vector<Texture> textures = Textures();
    Open(textures);
    Click(SORRELWICK_CLEAR_BUTTON);
    const std::vector<std::uint8_t> original = SetOf(textures);
    const std::vector<std::uint8_t> edited = gen::MakeTga(8, 8, 32, {1, 2, 3, 4});
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("new.tga"), edited));
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("other.tga"), edited));

    Drop(gallery, dir, {"new.tga", "other.tga"}, TileMiddle(1));
    Drop(gallery, dir, {"new.tga"}, {2, 2});
    EXPECT_EQ(Report(),
              (Lines{"Not imported: a texture takes one file at a time, not new.tga, other.tga",
                     "Not imported: new.tga was dropped beside the textures; drop it on one"}));
    EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.DAT")), original);
    Click(SORRELWICK_CLEAR_BUTTON);

    Drop(gallery, dir, {"new.tga"}, TileMiddle(1));
    textures[1].image.file = edited;
    EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.DAT")), SetOf(textures));
    EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.000")), original);
    EXPECT_EQ(Report(),
              Framed("Importing textures from " + dir.File("new.tga") + " into set1.DAT",
                     {report::TextureInfoLine("glass.tga", 2, 2, 32,
                                              "Import successful: size modified (to 8x8)"),
                      "Original file renamed to set1.000"}));
    EXPECT_EQ(Labels()[1], "glass.tga\n8x8, 32 bits");

    // From the menu: a refused file changes nothing; a taken one replaces.
    Click(SORRELWICK_CLEAR_BUTTON);
    openAnswer = dir.File("new.tga");
    ChooseFromMenu(0, 0);
    EXPECT_EQ(menuItems, (Lines{"&Replace from file...", "&Extract..."}));
    EXPECT_EQ(Report(),
              Framed("Importing textures from " + dir.File("new.tga") + " into set1.DAT",
                     {report::TextureInfoLine("wood.tga", 4, 2, 24,
                                              "Import failed: wrong color depth (32 bits)")}));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "set1.001"));
    ASSERT_EQ(openRequests.size(), 2u);  // the set's, then the texture's
    EXPECT_EQ(openRequests[1].filter,
              std::string("Texture picture (*.tga, *.png)\0*.tga;*.png\0\0", 44));

    Click(SORRELWICK_CLEAR_BUTTON);
    saveAnswer = dir.File("out.tga");
    ChooseFromMenu(2, 1);
    EXPECT_EQ(gen::ReadWholeFile(dir.File("out.tga")), textures[2].image.file);
    ChooseFromMenu(2, 1);
    EXPECT_EQ(
        Report(),
        Joined(
            Framed("Exporting set1.DAT's textures to " + dir.Path().string(),
                   {report::TextureInfoLine("felt.tga", 2, 4, 24, "Export successful")}),
            Framed("Exporting set1.DAT's textures to " + dir.Path().string(),
                   {report::NameMessageLine("felt.tga", "Export failed: file already exists")})));

    // A restore from the main window: the gallery shows the set as restored.
    EXPECT_TRUE(ClickActing(SORRELWICK_RESTORE_BUTTON, [](HWND dialog) {
        const HWND backups = GetDlgItem(dialog, SORRELWICK_BACKUP_LIST);
        if (!backups) return;
        SendMessageW(backups, LB_SETCURSEL, 0, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(SORRELWICK_BACKUP_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(backups));
        PressButton(dialog, IDOK);
    }));
    EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.DAT")), original);
    EXPECT_EQ(Labels()[1], "glass.tga\n2x2, 32 bits");
}

}  // namespace
}  // namespace sorrelwick::test
