// Preview textures and Restore a backup as a user meets them: the save
// dialog's request, the page written and the launch asked for it; the
// restore dialog's lines, a restore chosen there (by button or double-click)
// changing the files as the restore operation does and loading the set
// again, and Cancel changing nothing.

#include <filesystem>

#include "backup/backup_listing.h"
#include "backup/restore_backup.h"
#include "report/messages.h"
#include "ui/restore_dialog.h"
#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

namespace msg = report::msg;

struct CollectedLog final : report::ReportLog {
    void AppendLine(std::string_view line) override { lines.emplace_back(line); }
    Lines lines;
};

class PreviewCommand : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        listing = LoadSmallSet("set1.DAT");
    }
    Lines listing;
};

// Each run either cancels or writes the page the dialog gave, replacing a
// file the user confirmed there, and asks the shell to open it.
TEST_F(PreviewCommand, WritesThePageThenAsksTheBrowserToOpenIt) {
    const struct {
        const char* what;
        std::optional<std::string> page;
        bool existing, launchWorks;
    } cases[] = {
        {"cancelled", std::nullopt, false, true},
        {"written and shown", "set1.html", false, true},
        {"replaces the confirmed file", "old.html", true, true},
        {"written but not shown", "other.html", false, false},
    };
    Lines report = listing;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string page = c.page ? dir.File(*c.page) : "";
        if (c.existing) {
            ASSERT_TRUE(gen::WriteWholeFile(page, {'o', 'l', 'd'}));
        }
        saveAnswer = c.page ? std::optional(page) : std::nullopt;
        launchWorks = c.launchWorks;
        launches.clear();
        Click(SORRELWICK_PREVIEW_BUTTON);
        if (!c.page) {
            EXPECT_EQ(Report(), report);
            EXPECT_TRUE(launches.empty());
            continue;
        }
        const Lines now = Report();
        ASSERT_GT(now.size(), report.size() + 3);
        EXPECT_EQ(Lines(now.begin(), now.begin() + static_cast<std::ptrdiff_t>(report.size())),
                  report);
        EXPECT_EQ(now[report.size() + 1], msg::Previewing("set1.DAT", page));
        Lines tail = {msg::PreviewWritten(page), kSep, ""};
        if (!c.launchWorks) tail.push_back(msg::CouldNotShowPage(page));
        EXPECT_EQ(Lines(now.end() - static_cast<std::ptrdiff_t>(tail.size()), now.end()), tail);
        report = now;
        const std::vector<std::uint8_t> written = gen::ReadWholeFile(page);
        EXPECT_EQ(std::string(written.begin(),
                              written.begin() + std::min<std::ptrdiff_t>(15, std::ssize(written))),
                  "<!DOCTYPE html>");
        ASSERT_EQ(launches.size(), 1u);
        const Launch& launch = launches[0];
        EXPECT_EQ(launch.owner, window);
        EXPECT_EQ(launch.verb, "open");
        EXPECT_EQ(launch.file, page);
        EXPECT_TRUE(launch.noParameters && launch.noFolder);
        EXPECT_EQ(launch.show, SW_SHOWNORMAL);
    }
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "other.html")) << "the page stays";

    ASSERT_EQ(saveRequests.size(), 4u);
    for (const OpenRequest& request : saveRequests) {
        const OPENFILENAMEW& r = request.fields;
        EXPECT_EQ(r.hwndOwner, window);
        EXPECT_EQ(request.filter, std::string("Web page (*.html)\0*.html\0", 26));
        EXPECT_EQ(request.fileBuffer, "set1.html");
        EXPECT_EQ(r.nMaxFile, 260u);
        EXPECT_EQ(request.initialFolder, dir.Path().string() + "\\");
        EXPECT_EQ(request.title, "Save the preview page");
        EXPECT_EQ(request.defaultExtension, "html");
        EXPECT_EQ(r.Flags & (OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST), OFN_OVERWRITEPROMPT);
    }
}

TEST(SuggestedPagePath, TheSetsNameWithHtmlInItsFolder) {
    EXPECT_EQ(ui::SuggestedPagePath("C:\\sets\\A1.DAT"), "C:\\sets\\A1.html");
    EXPECT_EQ(ui::SuggestedPagePath("C:\\sets.d\\A1"), "C:\\sets.d\\A1.html");
}

class RestoreCommand : public MainWindowTest {
protected:
    // set1.DAT with a 16x32 texture, its backup 000 with a 32x32 one, and
    // backup 001 that is no chess set.
    void SetUp() override {
        MainWindowTest::SetUp();
        WriteBackups();
    }
    void WriteBackups() {
        ASSERT_TRUE(gen::ChessSetBuilder()
                        .Signature()
                        .TextureReference("wood.tga")
                        .TextureImage(gen::MakeTga(32, 32, 24))
                        .WriteTo(dir.File("set1.000")));
        ASSERT_TRUE(gen::WriteWholeFile(dir.File("set1.001"), {'n', 'o'}));
    }

    // Clicks Restore a backup... while `act` acts in the restore dialog;
    // records the lines it shows and whether Restore was enabled at first.
    void ClickRestore(std::function<void(HWND)> act) {
        shown.clear();
        EXPECT_TRUE(ClickActing(SORRELWICK_RESTORE_BUTTON, [&](HWND dialog) {
            const HWND backups = GetDlgItem(dialog, SORRELWICK_BACKUP_LIST);
            if (!backups) return;
            shown = ListLines(backups);
            restoreEnabledAtFirst = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
            act(dialog);
        }));
    }
    // The files after `number` is restored as the restore operation does
    // it, in a twin of the folder; and the lines it reports.
    std::pair<FolderContents, Lines> RestoredTwin(unsigned number) {
        TempDir twin;
        for (const auto& [name, bytes] : FilesIn(dir.Path())) {
            EXPECT_TRUE(gen::WriteWholeFile(twin.File(name), bytes));
        }
        ToolState state;
        SetLoadedSet(state, twin.File("set1.DAT"));
        CollectedLog log;
        backup::RestoreBackup(state, number, &log);
        return {FilesIn(twin.Path()), log.lines};
    }
    Lines BackupLines() const {
        Lines lines;
        const auto backups = backup::ListBackups(dir.File("set1.DAT"));
        for (const auto& backup : backups.value_or(std::vector<backup::BackupInfo>{})) {
            lines.push_back(backup::BackupLine(backup));
        }
        return lines;
    }

    Lines shown;
    bool restoreEnabledAtFirst = true;
};

void SelectLine(HWND dialog, int line, WORD notice) {
    const HWND backups = GetDlgItem(dialog, SORRELWICK_BACKUP_LIST);
    SendMessageA(backups, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(SORRELWICK_BACKUP_LIST, notice),
                 reinterpret_cast<LPARAM>(backups));
}

// A chosen backup comes back as the restore operation brings it back, and
// the set is listed again; without a choice nothing changes.
TEST_F(RestoreCommand, ChosenBackupIsRestoredAndTheSetLoadedAgain) {
    const struct {
        const char* what;
        std::function<void(HWND)> act;
        bool restores;
    } cases[] = {
        {"Restore",
         [](HWND d) {
             SelectLine(d, 0, LBN_SELCHANGE);
             PressButton(d, IDOK);
         },
         true},
        {"double-click", [](HWND d) { SelectLine(d, 0, LBN_DBLCLK); }, true},
        {"Restore without a line",
         [](HWND d) {
             PressButton(d, IDOK);
             PressButton(d, IDCANCEL);
         },
         false},
        {"Cancel after choosing",
         [](HWND d) {
             SelectLine(d, 0, LBN_SELCHANGE);
             PressButton(d, IDCANCEL);
         },
         false},
        {"Escape", PressEscape, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LoadSmallSet("set1.DAT");
        Click(SORRELWICK_CLEAR_BUTTON);
        const Lines backups = BackupLines();
        const FolderContents before = FilesIn(dir.Path());
        const auto [restored, restoreLines] = RestoredTwin(0);

        ClickRestore(c.act);
        EXPECT_EQ(shown, backups);
        EXPECT_FALSE(restoreEnabledAtFirst);
        if (!c.restores) {
            EXPECT_EQ(FilesIn(dir.Path()), before);
            EXPECT_EQ(Report(), Lines{});
        } else {
            EXPECT_EQ(FilesIn(dir.Path()), restored);
            Lines expected = restoreLines;
            Append(expected,
                   Framed("Loading set1.DAT", {report::TextureInfoLine("wood.tga", 32, 32, 24)}));
            EXPECT_EQ(Report(), expected);
            EXPECT_EQ(WindowText(window), "Sorrelwick - set1.DAT");
        }
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            std::filesystem::remove(entry.path());
        }
        WriteBackups();
    }
}

// With no set loaded the set is asked for first, a backup standing for its
// set; the restored set is then the loaded one.
TEST_F(RestoreCommand, WithoutALoadedSetTheChosenBackupNamesTheSet) {
    openAnswer = dir.File("set1.000");  // the set itself was lost
    const auto [restored, restoreLines] = RestoredTwin(0);
    ClickRestore([](HWND d) {
        SelectLine(d, 0, LBN_SELCHANGE);
        PressButton(d, IDOK);
    });
    EXPECT_EQ(shown, BackupLines());
    EXPECT_EQ(FilesIn(dir.Path()), restored);
    EXPECT_EQ(ui::TheToolState().setPath, dir.File("set1.DAT"));
    EXPECT_EQ(WindowText(window), "Sorrelwick - set1.DAT");
    EXPECT_TRUE(IsWindowEnabled(Item(SORRELWICK_PREVIEW_BUTTON)));

    ASSERT_EQ(openRequests.size(), 1u);
    EXPECT_EQ(openRequests[0].title, "Choose a Tessaravine chess set or one of its backups");
    EXPECT_EQ(openRequests[0].filter,
              std::string("Tessaravine chess set or backup (*.DAT, *.000 to *.999)\0"
                          "*.DAT;*.0??;*.1??;*.2??;*.3??;*.4??;*.5??;*.6??;*.7??;*.8??;*.9??\0"
                          "Tessaravine chess set (*.DAT)\0*.DAT\0\0",
                          159));

    // Cancelling the open dialog asks nothing more.
    ClearLoadedSet(ui::TheToolState());
    openAnswer.reset();
    Click(SORRELWICK_RESTORE_BUTTON);
    EXPECT_EQ(openRequests.size(), 2u);
    EXPECT_EQ(FilesIn(dir.Path()), restored);
}

}  // namespace
}  // namespace sorrelwick::test
