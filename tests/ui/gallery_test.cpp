// The gallery as a user meets it: a tile per texture with its picture and
// label, the view's switches, and a texture replaced by a file dropped on
// its tile or chosen from its menu, extracted from the menu; the gallery
// following the set the main window shows.

#include "gallery_fixture.h"
#include "report/messages.h"

namespace sorrelwick::test {
namespace {

TEST_F(Gallery, ShowsATilePerTextureInFileOrderWithItsPictureAndFollowsTheMainWindow) {
    const std::vector<Texture> textures = Textures();
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // room on the right
    Open(textures);
    EXPECT_EQ(WindowText(gallery), "Textures - set1.DAT");
    EXPECT_TRUE(IsWindowEnabled(window)) << "the main window stays usable";
    EXPECT_EQ(GetWindow(gallery, GW_OWNER), nullptr) << "nor kept behind the gallery";
    // Beside the main window, or over its report's right part: the report's
    // left edge and the buttons stay in sight.
    RECT galleryPlace = {}, report = {}, button = {}, both = {};
    GetWindowRect(gallery, &galleryPlace);
    GetWindowRect(list, &report);
    GetWindowRect(Item(SORRELWICK_APPLY_MOD_BUTTON), &button);
    EXPECT_FALSE(PtInRect(&galleryPlace, {report.left + 2, report.top + 2}));
    EXPECT_FALSE(IntersectRect(&both, &galleryPlace, &button));
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

// Textures a downloaded set may hold that no picture can be made of: sides
// of 0, or a header declaring more pixels than the file holds. Each gets a
// tile and its label; selecting one shows why it has no picture, copying it
// copies its name; the gallery stays up.
TEST_F(Gallery, TexturesWithoutAPictureAreListedAndSaySo) {
    std::vector<Texture> textures = {
        {"none.tga", 0, 0, 24, {}},
        {"flat.tga", 0, 64, 32, {}},
        {"huge.tga", 20053, 19019, 24, {}},
        {"wood.tga", 4, 2, 24, gen::BuildTga({}, 4, 2, Pattern)},
    };
    textures[0].image.file = gen::MakeTga(0, 0, 24);
    textures[1].image.file = gen::MakeTga(0, 64, 32);
    textures[2].image.file = gen::MakeTga(4, 4, 24);
    textures[2].image.file.resize(17);  // the header alone, cut short
    textures[2].image.file[12] = 20053 & 0xFF;
    textures[2].image.file[13] = 20053 >> 8;
    textures[2].image.file[14] = 19019 & 0xFF;
    textures[2].image.file[15] = 19019 >> 8;
    Open(textures);
    ASSERT_EQ(Labels().size(), textures.size());
    for (int i = 0; i < static_cast<int>(textures.size()); ++i) {
        SCOPED_TRACE(textures[Count(i)].name);
        EXPECT_EQ(ClickTile(i), i);
        const operations::TexturePicture* shown = ui::TextureViewPicture(view);
        ASSERT_NE(shown, nullptr);
        const bool drawable = i == 3;
        EXPECT_EQ(shown->reason.empty(), drawable) << shown->reason;
        EXPECT_EQ(shown->bgra.empty(), !drawable);
        TakeClipboardText();
        PressControlC(Tiles());
        EXPECT_EQ(TakeClipboardText(), Wide(textures[Count(i)].name));
        SendMessageW(GetDlgItem(gallery, SORRELWICK_VIEW_FITTED), BM_CLICK, 0, 0);
    }
    EXPECT_TRUE(IsWindow(gallery));
    EXPECT_EQ(ui::GalleryWindow(), gallery);
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
    EXPECT_EQ(menuItems,
              (Lines{"&Replace from file...", "E&xtract...", "&Edit in your image editor"}));
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
    // The dialog offers a name no file has.
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("felt.tga"), {}));
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("felt (2).tga"), {}));
    ChooseFromMenu(2, 1);
    EXPECT_EQ(saveRequests.back().fileBuffer, "felt (3).tga");
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
