// The gallery keeps to the set the main window shows: every tile names the
// texture it acts on, whatever was loaded before; and a tile acted on after
// the set changed behind the gallery's back changes nothing.

#include "gallery_fixture.h"
#include "ui/gallery_texts.h"

namespace sorrelwick::test {
namespace {

std::string LabelOf(const Texture& t) {
    return t.name + "\n" + std::to_string(t.width) + "x" + std::to_string(t.height) + ", " +
           std::to_string(t.depth) + " bits";
}

// Each row loads a set in the main window while the gallery is open on the
// one before: the count, the last tile's label, and for the first, middle
// and last tile what a click there selects, what the view shows and what
// Ctrl+C copies, all of the set now loaded.
TEST_F(Gallery, EveryTileOfTheSetNowLoadedNamesTheTextureItActsOn) {
    Open(Numbered(7));
    ClickTile(5);
    LRESULT clicked = 5;
    const struct {
        const char* what;
        const char* file;
        int count;
    } loads[] = {
        {"a large set over a small one", "large.DAT", 300},
        {"a small set over the large one", "small.DAT", 30},
        {"the same set loaded again, grown", "small.DAT", 40},
        {"an empty set", "none.DAT", 0},
        {"the large one again", "large.DAT", 300},
    };
    for (const auto& load : loads) {
        SCOPED_TRACE(load.what);
        const std::vector<Texture> textures = Numbered(load.count);
        ASSERT_TRUE(gen::WriteWholeFile(dir.File(load.file), SetOf(textures)));
        Load(dir.File(load.file));
        EXPECT_EQ(WindowText(gallery), std::string("Textures - ") + load.file);
        const Lines labels = Labels();
        ASSERT_EQ(labels.size(), Count(load.count));
        if (load.count == 0) {
            EXPECT_EQ(SelectedTile(), -1);
            continue;
        }
        EXPECT_EQ(labels.back(), LabelOf(textures.back()));
        // Another set starts at its first texture; the same keeps its place.
        const bool same = std::string(load.file) == "small.DAT" && load.count == 40;
        EXPECT_EQ(SelectedTile(), same ? std::min<LRESULT>(clicked, load.count - 1) : 0);
        // The selected tile in view, without a scroll of the user's.
        RECT shown = {}, client = {};
        shown.left = LVIR_BOUNDS;
        SendMessageW(Tiles(), LVM_GETITEMRECT, static_cast<WPARAM>(SelectedTile()),
                     reinterpret_cast<LPARAM>(&shown));
        GetClientRect(Tiles(), &client);
        EXPECT_TRUE(IntersectRect(&shown, &shown, &client));
        for (const int i : {0, load.count / 2, load.count - 1}) {
            SCOPED_TRACE(i);
            EXPECT_EQ(ClickTile(i), i) << "the tile drawn there";
            clicked = i;
            EXPECT_EQ(SelectedTile(), i);
            EXPECT_EQ(ui::TextureViewPicture(view)->width, textures[Count(i)].width);
            TakeClipboardText();
            PressControlC(Tiles());
            EXPECT_EQ(TakeClipboardText(), Wide(textures[Count(i)].name));
        }
    }
}

// The set rewritten behind the gallery's back (by another program) before
// a file is dropped on tile 1 or chosen for it: the report and the status
// line say so, the set stays as it is, and the gallery shows it.
TEST_F(Gallery, ATileActedOnAfterTheSetChangedChangesNothing) {
    const std::vector<Texture> shown = Numbered(3);
    std::vector<Texture> renamed = shown, repainted = shown, shorter = shown;
    renamed[1].name = "other.tga";
    // The same size and depth, other pixels.
    repainted[1].image = gen::BuildTga({}, shown[1].width, 4, [](unsigned x, unsigned y) {
        return gen::Rgba{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7, 255};
    });
    shorter.pop_back();
    shorter.erase(shorter.begin());
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("new.tga"), gen::MakeTga(8, 8, 24)));
    const struct {
        const char* what;
        const std::vector<Texture>& now;
        bool fromMenu;
    } cases[] = {
        {"another name at that place", renamed, false},
        {"another image of the same size", repainted, false},
        {"fewer textures", shorter, false},
        {"another image, from the menu", repainted, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Open(shown);
        TilePixels(1);  // drawn, as a user sees it
        Click(SORRELWICK_CLEAR_BUTTON);
        const std::vector<std::uint8_t> now = SetOf(c.now);
        ASSERT_TRUE(gen::WriteWholeFile(dir.File("set1.DAT"), now));
        if (c.fromMenu) {
            openAnswer = dir.File("new.tga");
            ChooseFromMenu(1, 0);
        } else {
            Drop(gallery, dir, {"new.tga"}, TileMiddle(1));
        }
        const std::string line = ui::SetChangedLine("set1.DAT");
        EXPECT_EQ(Report(), Lines{line});
        EXPECT_EQ(Status(), line);
        EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.DAT")), now);
        EXPECT_FALSE(std::filesystem::exists(dir.Path() / "set1.000"));
        Lines labels;
        for (const Texture& t : c.now) labels.push_back(LabelOf(t));
        EXPECT_EQ(Labels(), labels);
    }
}

}  // namespace
}  // namespace sorrelwick::test
