// Files dropped on the gallery, understood as a player means them: an image
// on a tile replaces that texture (asking first when its name is another
// texture's, converting a PNG of the texture's depth even with "Convert on
// import" off), the view and the status line follow; a chess set or a mod
// goes where it would on the main window.

#include "gallery_fixture.h"
#include "generators/png_builder.h"
#include "mod/mod_pack.h"
#include "report/lines.h"
#include "report/messages.h"
#include "ui/gallery_texts.h"
#include "ui/mod_commands.h"

namespace sorrelwick::test {
namespace {

std::vector<Texture> Board() {
    std::vector<Texture> textures;
    for (const char* name : {"marble_black.tga", "frame_green.tga", "wood.tga"}) {
        textures.push_back({name, 4, 4, 24, gen::BuildTga({}, 4, 4, Pattern)});
    }
    return textures;
}

TEST_F(Gallery, AnImageDroppedOnATileReplacesThatTextureAsThePlayerMeansIt) {
    const std::string png = "Import successful: converted from PNG, size modified (to 8x8)";
    const struct {
        const char* what;
        std::string file;
        std::vector<std::uint8_t> bytes;
        int tile;
        bool convert;
        int answer;
        Lines questions;
        std::string outcome;  // of the texture's line; empty: no line
    } cases[] = {
        {"another texture's name, kept",
         "frame_green.tga",
         gen::MakeTga(8, 8, 24),
         0,
         false,
         IDNO,
         {"Replace marble_black.tga with frame_green.tga?"},
         ""},
        {"another texture's name, replaced",
         "frame_green.tga",
         gen::MakeTga(8, 8, 24),
         0,
         false,
         IDYES,
         {"Replace marble_black.tga with frame_green.tga?"},
         "Import successful: size modified (to 8x8)"},
        {"another texture's name as a PNG",
         "FRAME_GREEN.png",
         gen::MakePng(8, 8, 3, Pattern),
         0,
         false,
         IDNO,
         {"Replace marble_black.tga with FRAME_GREEN.png?"},
         ""},
        {"its own name",
         "wood.tga",
         gen::MakeTga(8, 8, 24),
         2,
         false,
         IDNO,
         {},
         "Import successful: size modified (to 8x8)"},
        {"a PNG of its depth, Convert off",
         "new.png",
         gen::MakePng(8, 8, 3, Pattern),
         2,
         false,
         IDNO,
         {},
         png},
        {"a PNG of another depth, Convert off",
         "new.png",
         gen::MakePng(8, 8, 4, Pattern),
         2,
         false,
         IDNO,
         {},
         report::msg::ImportPngOtherDepth(32)},
        {"a PNG of another depth, Convert on",
         "new.png",
         gen::MakePng(8, 8, 4, Pattern),
         2,
         true,
         IDNO,
         {},
         png},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Texture> textures = Board();
        Open(textures);
        SendMessageW(GetDlgItem(gallery, SORRELWICK_GALLERY_CONVERT), BM_SETCHECK,
                     c.convert ? BST_CHECKED : BST_UNCHECKED, 0);
        SendMessageW(gallery, WM_COMMAND, SORRELWICK_GALLERY_CONVERT, 0);
        Click(SORRELWICK_CLEAR_BUTTON);
        ASSERT_TRUE(gen::WriteWholeFile(dir.File(c.file), c.bytes));
        const std::vector<std::uint8_t> before = gen::ReadWholeFile(dir.File("set1.DAT"));
        questions.clear();
        answer = c.answer;
        Drop(gallery, dir, {c.file}, TileMiddle(c.tile));
        EXPECT_EQ(questions, c.questions);
        const bool replaced = c.outcome.starts_with("Import successful");
        EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.DAT")) != before, replaced);
        const std::string line =
            report::TextureInfoLine(textures[Count(c.tile)].name, 4, 4, 24, c.outcome);
        EXPECT_EQ(Status(), c.outcome.empty() ? "" : ui::StatusText(line));
        if (c.outcome.empty()) continue;
        EXPECT_TRUE(Has(Report(), line));
        // The view shows the texture dropped on, as it now is.
        EXPECT_EQ(SelectedTile(), c.tile);
        EXPECT_EQ(ui::TextureViewPicture(view)->width, replaced ? 8u : 4u);
        if (replaced) std::filesystem::remove(dir.File("set1.000"));
    }
}

// A chess set dropped on the gallery is loaded; a mod is read as a mod
// wherever it lands, never imported as a texture; the two "Convert on
// import" boxes show the same.
TEST_F(Gallery, ASetOrAModDroppedOnTheGalleryGoesWhereItWouldOnTheMainWindow) {
    Open(Board());
    ASSERT_TRUE(WriteWoodSet(dir.File("set2.DAT"), gen::MakeTga(8, 8, 32)));
    Click(SORRELWICK_CLEAR_BUTTON);
    Drop(gallery, dir, {"set2.DAT"}, TileMiddle(0));
    EXPECT_EQ(WindowText(window), "Sorrelwick - set2.DAT");
    EXPECT_EQ(WindowText(gallery), "Textures - set2.DAT");
    EXPECT_EQ(Labels(), Lines{"wood.tga\n8x8, 32 bits"});
    EXPECT_EQ(Status(), "Loading set2.DAT");

    const std::vector<std::uint8_t> set = gen::ReadWholeFile(dir.File("set2.DAT"));
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("junk.zip"), gen::MakeTga(8, 8, 32)));
    Click(SORRELWICK_CLEAR_BUTTON);
    Drop(gallery, dir, {"junk.zip"}, TileMiddle(0));
    EXPECT_EQ(gen::ReadWholeFile(dir.File("set2.DAT")), set);
    const Lines report = Report();
    ASSERT_FALSE(report.empty());
    EXPECT_FALSE(Has(
        report, report::TextureInfoLine("wood.tga", 8, 8, 32, report::msg::ImportWrongDepth(32))));
    EXPECT_TRUE(std::any_of(report.begin(), report.end(), [this](const std::string& line) {
        return !line.empty() && ui::StatusText(line) == Status();
    })) << Status();

    const auto checked = [](HWND owner, int id) {
        return IsDlgButtonChecked(owner, id) == BST_CHECKED;
    };
    for (const bool fromGallery : {false, true, false}) {
        SCOPED_TRACE(fromGallery ? "ticked in the gallery" : "ticked in the main window");
        if (fromGallery) {
            SendMessageW(GetDlgItem(gallery, SORRELWICK_GALLERY_CONVERT), BM_CLICK, 0, 0);
        } else {
            Click(SORRELWICK_CONVERT_CHECK);
        }
        EXPECT_EQ(checked(gallery, SORRELWICK_GALLERY_CONVERT),
                  checked(window, SORRELWICK_CONVERT_CHECK));
    }
    EXPECT_TRUE(checked(window, SORRELWICK_CONVERT_CHECK));
}

// A mod dropped on a tile is applied, not imported into that texture; its
// title and author (a packer's text, lines and escapes included) show in
// the question as one plain line each.
TEST_F(Gallery, AModDroppedOnATileIsAppliedAfterItsQuestionInPlainLines) {
    std::vector<Texture> changed = Board();
    changed[2].image = gen::BuildTga({}, 8, 8, Pattern);
    changed[2].width = changed[2].height = 8;
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("changed.DAT"), SetOf(changed)));
    Open(Board());
    ToolState packed;
    SetLoadedSet(packed, dir.File("changed.DAT"));
    const std::string title = "Red\nboard\r\n\nApply it? Yes", author = "Tam\x1b[2Jsin";
    report::MemoryReportLog packing;
    ASSERT_TRUE(mod::PackMod(
        packed, {dir.File("set1.DAT"), dir.File("red.zip"), title, author, {}, true}, &packing))
        << ::testing::PrintToString(packing.Lines());
    std::vector<std::string> modQuestions;
    EXPECT_TRUE(WhileActing(
        [&](HWND box) {
            modQuestions.push_back(WindowText(GetDlgItem(box, SORRELWICK_MOD_QUESTION_TEXT)));
            PressButton(box, IDOK);
        },
        [&] { Drop(gallery, dir, {"red.zip"}, TileMiddle(0)); }));

    ASSERT_EQ(modQuestions.size(), 1u);
    const std::string& question = modQuestions.front();
    EXPECT_NE(question.find("\"Red?board???Apply it? Yes\""), std::string::npos) << question;
    EXPECT_NE(question.find("By Tam?[2Jsin."), std::string::npos) << question;
    EXPECT_EQ(question.find(title), std::string::npos);
    EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.DAT")), SetOf(changed));
    EXPECT_EQ(Labels()[2], "wood.tga\n8x8, 24 bits");
    EXPECT_EQ(Labels()[0], "marble_black.tga\n4x4, 24 bits") << "the tile it landed on";
}

}  // namespace
}  // namespace sorrelwick::test
