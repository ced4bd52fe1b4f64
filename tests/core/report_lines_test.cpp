// Column layouts of the report lines, at their boundaries. The frame of
// heading and closing lines shows in every operation's report.

#include <gtest/gtest.h>

#include <string>

#include "report/backup_line.h"
#include "report/lines.h"
#include "report/plain_line.h"

namespace sorrelwick::report {
namespace {

std::string Name(std::size_t length) {
    return std::string(length, 'n');
}

TEST(TextureInfoLine, FieldsFollowAfterOneSpaceWhenTheyWouldCollide) {
    struct Case {
        std::size_t nameLength;
        std::uint16_t width, height;
        std::size_t sizeAt, depthAt, outcomeAt;
    };
    const Case cases[] = {
        {27, 1, 1, 30, 41, 50},          // name ends at 28: one space reaches 30
        {28, 1, 1, 31, 41, 50},          // one space after the name
        {30, 65535, 65535, 33, 45, 53},  // everything pushed along
        {0, 1, 1, 30, 41, 50},
        {45, 65535, 65535, 48, 60, 68},  // the depth's end passes 49
        {0, 65535, 65535, 30, 42, 50},   // size ends at 40: depth after one space
        {0, 6553, 65535, 30, 41, 50},    // size ends at 39: depth at 41
    };
    for (const Case& c : cases) {
        const std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
        std::string expected = "  " + Name(c.nameLength);
        expected.resize(c.sizeAt, ' ');
        expected += size;
        expected.resize(c.depthAt, ' ');
        expected += "24 bits";
        expected.resize(c.outcomeAt, ' ');
        EXPECT_EQ(TextureInfoLine(Name(c.nameLength), c.width, c.height, 24, "X"), expected + "X");
    }
}

TEST(NameMessageLine, MessageAtFiftyOrAfterOneSpace) {
    EXPECT_EQ(NameMessageLine(Name(47), "M"), "  " + Name(47) + " M");
    EXPECT_EQ(NameMessageLine(Name(48), "M"), "  " + Name(48) + " M");
    EXPECT_EQ(NameMessageLine(Name(20), "M"), "  " + Name(20) + std::string(28, ' ') + "M");
    EXPECT_EQ(NameMessageLine("felt.tga"), "  felt.tga");
    // Columns count characters: the nine of "Доска.tga" take 14 bytes.
    const std::string cyrillic = "\xD0\x94\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB0.tga";
    EXPECT_EQ(NameMessageLine(cyrillic, "M"), "  " + cyrillic + std::string(39, ' ') + "M");
    // A byte of a code page (here 0xE9) counts as one character.
    EXPECT_EQ(NameMessageLine("caf\xE9.tga", "M"), "  caf\xE9.tga" + std::string(40, ' ') + "M");
}

TEST(ReportLines, PercentSignsAndLongTextsAreCopiedWhole) {
    EXPECT_EQ(NameMessageLine("100%.tga", "Import failed: file not part of %s%d"),
              "  100%.tga" + std::string(40, ' ') + "Import failed: file not part of %s%d");
    const std::string longMessage(600, 'm');
    EXPECT_EQ(TextureInfoLine(Name(259), 1, 1, 8, longMessage),
              "  " + Name(259) + " 1x1 8 bits " + longMessage);
}

TEST(BackupLine, ColumnsAndUtcTimeOnEverySystem) {
    const std::string time = "2026-12-07 01:45 UTC";
    EXPECT_EQ(BackupLine("set1.000", 1234, 1796607930, "7 textures"),
              "  set1.000" + std::string(20, ' ') + "1234 bytes" + std::string(8, ' ') + time +
                  "  7 textures");
    // A name of 28 and a size of 20 digits push every field along by one space.
    EXPECT_EQ(BackupLine(Name(28), 18446744073709551615u, 1796607930, "X"),
              "  " + Name(28) + " 18446744073709551615 bytes " + time + " X");
    const std::pair<std::int64_t, std::string> times[] = {
        {0, "1970-01-01 00:00 UTC"},
        {951782400 - 1, "2000-02-28 23:59 UTC"},
        {951782400 + 86399, "2000-02-29 23:59 UTC"},  // leap day
        {-1, "1969-12-31 23:59 UTC"},
        {INT64_MIN, "0001-01-01 00:00 UTC"},  // kept within years 1 to 9999
        {INT64_MAX, "9999-12-31 23:59 UTC"},
    };
    for (const auto& [seconds, text] : times) EXPECT_EQ(UtcMinuteText(seconds), text);
}

// A mod's title or author shown in a question: one plain line, cut with
// an ellipsis, so it can't pass for the question's own lines.
TEST(QuestionText, AModsTextIsOnePlainLineCutWithAnEllipsis) {
    const struct {
        std::string text;
        std::size_t most;
        std::string shown;
    } cases[] = {
        {"Red board", 80, "Red board"},
        {"Red\nboard\r\n\nApply to every set? Yes", 80, "Red?board???Apply to every set? Yes"},
        {"tab\there, bell\a, escape\x1b[2J, delete\x7f", 80,
         "tab?here, bell?, escape?[2J, delete?"},
        {"C1 \xc2\x85 line \xe2\x80\xa8 paragraph \xe2\x80\xa9", 80, "C1 ? line ? paragraph ?"},
        {"turned \xe2\x80\xae"
         "draob \xe2\x81\xa6"
         "x",
         80, "turned ?draob ?x"},
        {"caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x8e\xa8", 80,
         "caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x8e\xa8"},
        {"bad \xff\xfe byte \xe6\x97", 80, "bad ?? byte ??"},
        {"0123456789", 10, "0123456789"},
        {"0123456789A", 10, "0123456789..."},
        {"\xe6\x97\xa5\xe6\x9c\xac\xe6\x97\xa5\xe6\x9c\xac", 3,
         "\xe6\x97\xa5\xe6\x9c\xac\xe6\x97\xa5..."},
        {"", 80, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(report::PlainOneLine(c.text, c.most), c.shown);
    }
}

}  // namespace
}  // namespace sorrelwick::report
