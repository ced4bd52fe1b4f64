// The gallery's texts and choices, apart from the windows: a report line as
// the status line shows it, and where the gallery opens.

#include <gtest/gtest.h>

#include "report/lines.h"
#include "ui/gallery_layout.h"
#include "ui/gallery_texts.h"

namespace sorrelwick::test {
namespace {

TEST(StatusText, ClosesUpTheReportsColumns) {
    const struct {
        std::string line;
        std::string shown;
    } cases[] = {
        {report::TextureInfoLine("wood.tga", 64, 64, 24, "Import failed: wrong size (3x5)"),
         "wood.tga  64x64  24 bits  Import failed: wrong size (3x5)"},
        {report::NameMessageLine("felt.tga", "Export failed: file already exists"),
         "felt.tga  Export failed: file already exists"},
        {"Not imported: one space between words ", "Not imported: one space between words"},
        {"   ", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ui::StatusText(c.line), c.shown);
    }
}

// The PNG an edited texture is written as stays in the editing folder,
// under a name Windows takes as a file's.
TEST(EditingFileName, KeepsTheStemAsAFileOfTheFolder) {
    const struct {
        std::string texture;
        std::string file;
    } cases[] = {
        {"wood.tga", "wood.png"},
        {"Marble_Black.TGA", "Marble_Black.png"},
        {"..\\..\\Windows\\evil.tga", ".._.._Windows_evil.png"},
        {"../up.tga", ".._up.png"},
        {"a:b*c?\"d<e>|.tga", "a_b_c__d_e__.png"},
        {std::string("bell\x01\x1f.tga"), "bell__.png"},
        {"dots...tga", "dots.png"},
        {". .tga", "texture.png"},
        {"", "texture.png"},
        {"no extension", "no extension.png"},
        {"CON.tga", "_CON.png"},
        {"nul.x.tga", "_nul.x.png"},
        {"com1.tga", "_com1.png"},
        {"Lpt9.tga", "_Lpt9.png"},
        {"com0.tga", "com0.png"},
        {"console.tga", "console.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.texture);
        EXPECT_EQ(ui::EditingFileName(c.texture), c.file);
    }
}

// A 1920x1040 work area; the gallery opens 860x600 and can be 500x330.
TEST(GalleryPlace, BesideTheMainWindowWhereThereIsRoomElseOverItsReportsRightPart) {
    const RECT work = {0, 0, 1920, 1040};
    const struct {
        const char* what;
        RECT main, report;
        RECT place;
    } cases[] = {
        {"room on the right", {100, 50, 800, 450}, {110, 80, 660, 440}, {800, 50, 1660, 650}},
        {"no room on the right",
         {1100, 50, 1800, 450},
         {1110, 80, 1660, 440},
         {240, 50, 1100, 650}},
        {"some room on the right",
         {700, 50, 1400, 450},
         {710, 80, 1260, 440},
         {1400, 50, 1920, 650}},
        {"some room on the left", {500, 50, 1900, 450}, {510, 80, 1760, 440}, {0, 50, 500, 650}},
        {"no room beside: over the report",
         {450, 600, 1550, 1000},
         {460, 630, 1400, 990},
         {580, 440, 1400, 1040}},
        {"a narrow report: no smaller than it can be",
         {480, 50, 1440, 450},
         {490, 80, 790, 440},
         {290, 50, 790, 650}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const RECT place = ui::GalleryPlace({c.main, c.report, work, {860, 600}, {500, 330}, 120});
        EXPECT_EQ(place.left, c.place.left);
        EXPECT_EQ(place.top, c.place.top);
        EXPECT_EQ(place.right, c.place.right);
        EXPECT_EQ(place.bottom, c.place.bottom);
    }
}

}  // namespace
}  // namespace sorrelwick::test
