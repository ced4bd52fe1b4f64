// The read-me text (its sections, line ends and widths, and the list of every
// report message, checked against the texts the report uses) and the dialog
// that shows it.

#include <algorithm>

#include "report/messages.h"
#include "ui/read_me_dialog.h"
#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

using Lines = std::vector<std::string>;
namespace msg = report::msg;

const std::string kHyphens(212, '-');

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

std::size_t IndexOf(const Lines& lines, const std::string& line, std::size_t from = 0) {
    return static_cast<std::size_t>(
        std::find(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end(), line) -
        lines.begin());
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(ReadMeText, SectionsInOrderWithCrLfEndsAndHandWrappedLines) {
    const Lines lines = CrLfLines(ui::ReadMeText());
    ASSERT_GT(lines.size(), 50u);
    EXPECT_EQ(lines[0].rfind("How to change the appearance of a Tessaravine chess set", 0), 0u);

    // Each section starts after an empty line; the text ends with one.
    const Lines headings = {"Step 1",
                            "Step 2",
                            "Step 3",
                            "Step 4",
                            "Step 5",
                            kHyphens,
                            "Changing the set's specularity",
                            kHyphens,
                            "More information"};
    std::size_t at = 0;
    for (const std::string& heading : headings) {
        SCOPED_TRACE(heading.substr(0, 40));
        at = IndexOf(lines, heading, at + 1);
        ASSERT_LT(at, lines.size());
        EXPECT_EQ(lines[at - 1], "");
        if (heading.rfind("Step", 0) == 0) {
            EXPECT_EQ(lines[at + 1].find_first_not_of(' '), 2u) << lines[at + 1];
        }
    }
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kHyphens), 2);

    for (const std::string& line : lines) {
        if (line == kHyphens) continue;
        EXPECT_LE(line.size(), 130u) << line;
        EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char c) {
            return c >= ' ' && c <= '~';
        })) << line;
    }
}

// The report's own texts with bracketed placeholders, in the order listed.
Lines ListedMessages() {
    const std::string file = "[file]", info = "[texture info] ";
    const auto texture = [&](std::string_view outcome) { return info + std::string(outcome); };
    return {
        msg::CouldNotOpen(file),
        msg::BadFormat(file),
        std::string(msg::kNotEnoughMemory),
        std::string(msg::kInvalidLoadPath),
        std::string(msg::kInvalidExtractPath),
        texture(msg::kExportSuccessful),
        texture(msg::kExportAlreadyExists),
        texture(msg::kExportCreateFailed),
        texture(msg::kExportWriteFailed),
        std::string(msg::kInvalidLoadSavePath),
        std::string(msg::kInvalidImportPath),
        msg::TooManyBackups(file),
        texture(msg::kImportNotEnoughMemory),
        texture(msg::kImportErrorReading),
        texture(Replaced(msg::ImportWrongDepth(1234), "1234", "[b]")),
        // The read-me writes a size as [x]*[y].
        texture(Replaced(msg::ImportWrongSize(1234, 5678), "1234x5678", "[x]*[y]")),
        texture(Replaced(msg::ImportSizeModified(1234, 5678), "1234x5678", "[x]*[y]")),
        texture(msg::kImportSuccessful),
        texture(msg::kImportFileNotFound),
        texture(msg::ImportNotPartOf(file)),
        msg::CouldNotCreate(file),
        msg::CouldNotOpen(file),
        msg::CouldNotRead(file),
        msg::CouldNotWrite(file),
        msg::CouldNotClose(file),
        msg::CouldNotDelete(file),
        msg::CouldNotRename(file, file),
    };
}

// Each message stands in double quotes at the start of its line, followed
// by nothing or by " - " and its explanation.
TEST(ReadMeText, ListsEveryReportMessageAsTheReportWritesIt) {
    const Lines lines = CrLfLines(ui::ReadMeText());
    Lines listed;
    std::string backupsEntry;
    for (const std::string& line : lines) {
        const std::size_t open = line.find_first_not_of(' ');
        if (open != std::string::npos && line[open] == '"') {
            const std::size_t close = line.find('"', open + 1);
            ASSERT_NE(close, std::string::npos) << line;
            listed.push_back(line.substr(open + 1, close - open - 1));
            const std::string rest = line.substr(close + 1);
            EXPECT_TRUE(rest.empty() || rest.rfind(" - ", 0) == 0) << line;
        }
        if (!listed.empty() && listed.back() == msg::TooManyBackups("[file]")) {
            backupsEntry += line;
        }
    }
    EXPECT_EQ(listed, ListedMessages());
    EXPECT_NE(backupsEntry.find("[olddatname.xxx]"), std::string::npos) << backupsEntry;
}

using ReadMeDialog = MainWindowTest;

// Every opening shows the whole text from its top, unwrapped; each one is
// scrolled before it ends.
TEST_F(ReadMeDialog, ShowsTheWholeTextFromTheTopAtEachOpening) {
    const std::string text = ui::ReadMeText();
    const auto lineCount = std::count(text.begin(), text.end(), '\n') + 1;
    const struct {
        const char* what;
        void (*act)(HWND dialog);
        INT_PTR result;
    } endings[] = {
        {"OK", [](HWND dialog) { PressButton(dialog, IDOK); }, IDOK},
        {"Enter", [](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); }, IDOK},
        {"Escape", PressEscape, IDCANCEL},
        {"close box", PressCloseBox, IDCANCEL},
    };
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.what);
        const INT_PTR result = RunDialog(
            SORRELWICK_READ_ME_DIALOG, ui::ReadMeDialogProcedure, window, [&](HWND dialog) {
                const HWND edit = GetDlgItem(dialog, SORRELWICK_READ_ME_EDIT);
                EXPECT_EQ(WindowText(edit), text);
                EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), lineCount);
                EXPECT_EQ(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
                SendMessageA(edit, EM_LINESCROLL, 10, 20);
                EXPECT_EQ(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 20);
                ending.act(dialog);
            });
        EXPECT_EQ(result, ending.result);
    }
}

TEST_F(ReadMeDialog, ReadMeButtonOpensItOwnedByTheMainWindow) {
    bool opened = false;
    RunCommand(SORRELWICK_READ_ME_BUTTON, [&](HWND dialog) {
        if (dialog == window) return;
        opened = WindowText(dialog) == "Read me" && GetWindow(dialog, GW_OWNER) == window;
        PressButton(dialog, IDOK);
    });
    EXPECT_TRUE(opened);
}

}  // namespace
}  // namespace sorrelwick::test
