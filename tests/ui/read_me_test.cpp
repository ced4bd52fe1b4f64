// The read-me text, with the list of every report message checked against
// the texts the report uses, and the dialog that shows it.

#include "report/comparison_messages.h"
#include "report/messages.h"
#include "ui/dropped_files.h"
#include "ui/gallery_texts.h"
#include "ui/read_me_dialog.h"
#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

namespace msg = report::msg;

// The lines of a text whose every line ends with CR LF; fails on any other
// line end.
Lines CrLfLines(const std::string& text) {
    Lines lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
        EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos) << lines.back();
    }
    EXPECT_EQ(start, text.size()) << "the last line has no CR LF";
    return lines;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

// The dialog shows the text unwrapped: each line is wrapped by hand, and
// only the sections' separators run wider. Each message stands in double
// quotes at the start of its line, as the report writes it with bracketed
// placeholders, followed by nothing or by " - " and its explanation.
TEST(ReadMeText, HandWrappedAndListsEveryReportMessageAsTheReportWritesIt) {
    Lines listed;
    for (const std::string& line : CrLfLines(ui::ReadMeText())) {
        EXPECT_TRUE(line == std::string(212, '-') || line.size() <= 130) << line;
        if (!line.starts_with("   \"")) continue;
        const std::size_t close = line.find('"', 4);
        ASSERT_NE(close, std::string::npos) << line;
        listed.push_back(line.substr(4, close - 4));
        EXPECT_TRUE(close + 1 == line.size() || line.substr(close + 1, 3) == " - ") << line;
    }
    // The placeholders in brackets; the read-me writes a size as [x]*[y].
    const std::string file = "[file]";
    const auto texture = [](std::string_view outcome) {
        return "[texture info] " + std::string(outcome);
    };
    const Lines expected = {
        msg::CouldNotOpen(file),
        msg::BadFormat(file),
        std::string(msg::kNotEnoughMemory),
        std::string(msg::kInvalidLoadPath),
        std::string(msg::kInvalidExtractPath),
        texture(msg::kExportSuccessful),
        texture(msg::kExportAlreadyExists),
        texture(msg::kExportCreateFailed),
        texture(msg::kExportWriteFailed),
        msg::OriginalRenamed(file),
        Replaced(Replaced(Replaced(msg::MaterialsChangedPerGroup({{1234, "white pieces"},
                                                                 {5678, "black pieces"},
                                                                 {9012, "board"}}),
                                   "1234", "[n]"),
                          "5678", "[n]"),
                 "9012", "[n]"),
        msg::NoPiecesRecognised("[pieces]", file, "[name]", "[others]"),
        msg::NoBoardRecognised(file),
        std::string(msg::kSpecularityChanged),
        msg::CouldNotSearchFolder(file),
        msg::NoBackups(file),
        "[backup info] " + Replaced(msg::TextureCount(1234), "1234", "[n]"),
        std::string(msg::kBackupRestored),
        std::string(msg::kInvalidPreviewPath),
        texture(msg::PreviewOutcome(true, {})),
        texture(msg::PreviewOutcome(false, {})),
        msg::PreviewWritten(file),
        std::string(msg::kNoPreviewWritten),
        msg::PageAlreadyExists(file),
        msg::PageIsAChessSet(file),
        msg::CouldNotShowPage(file),
        texture(msg::kChangedPixels),
        texture(Replaced(msg::ChangedFrom(1234, 5678, 99), "1234x5678 99", "[x]*[y] [b]")),
        texture(msg::OnlyIn(file)),
        "[materials] " +
            Replaced(msg::MaterialsChanged(1234, "[v]", "[v]", "[v]", "[v]"), "1234", "[n]"),
        std::string(msg::kOtherDataDiffers),
        Replaced(Replaced(msg::DifferenceCount(1234, 5678, true), "1234", "[n]"), "5678", "[n]"),
        std::string(msg::kNoDifferences),
        msg::Loading(file),
        std::string(msg::kInvalidLoadSavePath),
        std::string(msg::kInvalidImportPath),
        msg::TooManyBackups(file),
        texture(msg::kImportNotEnoughMemory),
        texture(msg::kImportErrorReading),
        texture(Replaced(msg::ImportWrongDepth(1234), "1234", "[b]")),
        texture(Replaced(msg::ImportWrongSize(1234, 5678), "1234x5678", "[x]*[y]")),
        texture(Replaced(msg::ImportSizeModified(1234, 5678), "1234x5678", "[x]*[y]")),
        texture(msg::kImportSuccessful),
        texture(msg::ImportSuccessful("[form]", false, 0, 0)),
        texture(msg::kImportFileNotFound),
        texture(msg::ImportNotPartOf(file)),
        msg::CouldNotCreate(file),
        msg::CouldNotOpen(file),
        msg::CouldNotRead(file),
        msg::CouldNotWrite(file),
        msg::CouldNotClose(file),
        msg::CouldNotDelete(file),
        msg::CouldNotRename(file, file),
        msg::ReasonLine("[reason]"),
        msg::ReasonLine(msg::kFileInUse),
        ui::NotLoadedLine({file, file}),
        ui::DroppedBesideTilesLine(file),
        ui::DroppedSeveralLine({file, file}),
        msg::NoTextureNamed("[texture]", file)};
    EXPECT_EQ(listed, expected);
}

using ReadMeDialog = MainWindowTest;

TEST_F(ReadMeDialog, OpensOwnedByTheMainWindowAndEndsWithOk) {
    HWND owner = nullptr;
    EXPECT_TRUE(ClickActing(SORRELWICK_READ_ME_BUTTON, [&](HWND dialog) {
        if (dialog == window) return;  // active again once the dialog has gone
        owner = GetWindow(dialog, GW_OWNER);
        PressButton(dialog, IDOK);
    }));
    EXPECT_EQ(owner, window);
}

}  // namespace
}  // namespace sorrelwick::test
