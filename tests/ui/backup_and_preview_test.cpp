// Preview textures and Restore a backup as a user meets them: the save
// dialog's request and the page shown; the restore dialog's lines, summaries
// and choices, and the files they change.

#include <filesystem>

#include "backup/backup_listing.h"
#include "backup/restore_backup.h"
#include "mod/mod_file.h"
#include "mod/zip_archive.h"
#include "report/messages.h"
#include "ui/gallery_texts.h"
#include "ui/gallery_window.h"
#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

namespace msg = report::msg;

using PreviewCommand = MainWindowTest;

// The gallery's "Open as web page": each run either cancels or writes the
// page the dialog gave, replacing a file the user confirmed there, and asks
// the shell to open it.
TEST_F(PreviewCommand, WritesThePageThenAsksTheBrowserToOpenIt) {
    Lines report = LoadSmallSet("set1.DAT");
    Click(SORRELWICK_PREVIEW_BUTTON);
    const HWND gallery = ui::GalleryWindow();
    ASSERT_NE(gallery, nullptr);
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string page = c.page ? dir.File(*c.page) : "";
        if (c.existing) {
            ASSERT_TRUE(gen::WriteWholeFile(page, {'o', 'l', 'd'}));
        }
        saveAnswer = c.page ? std::optional(page) : std::nullopt;
        launchWorks = c.launchWorks;
        launches.clear();
        SendMessageW(GetDlgItem(gallery, SORRELWICK_WEB_PAGE_BUTTON), BM_CLICK, 0, 0);
        std::vector<Launch> launched;
        std::string status;  // the page's last word, under the tiles
        if (c.page) {
            Lines block = {
                report::TextureInfoLine("wood.tga", 16, 32, 24, msg::PreviewOutcome(true, {})),
                msg::PreviewWritten(page)};
            if (!c.launchWorks) block.push_back(msg::CouldNotShowPage(page));
            status = ui::StatusText(block.back());
            Append(report, Framed(msg::Previewing("set1.DAT", page), block));
            const std::vector<std::uint8_t> written = gen::ReadWholeFile(page);
            EXPECT_TRUE(std::string(written.begin(), written.end()).starts_with("<!DOCTYPE html>"));
            launched = {{gallery, "open", page, true, true, SW_SHOWNORMAL}};
        }
        EXPECT_EQ(Report(), report);
        EXPECT_EQ(launches, launched);
        EXPECT_EQ(WindowText(GetDlgItem(gallery, SORRELWICK_GALLERY_STATUS)), status);
    }

    ASSERT_EQ(saveRequests.size(), 4u);
    for (const OpenRequest& request : saveRequests) {
        const OPENFILENAMEW& r = request.fields;
        EXPECT_EQ(r.hwndOwner, gallery);
        EXPECT_EQ(request.filter, std::string("Web page (*.html)\0*.html\0", 26));
        EXPECT_EQ(request.fileBuffer, "set1.html");
        EXPECT_EQ(r.nMaxFile, 260u);
        EXPECT_EQ(request.initialFolder, dir.Path().string() + "\\");
        EXPECT_EQ(request.title, "Save the preview page");
        EXPECT_EQ(request.defaultExtension, "html");
        EXPECT_EQ(r.Flags & (OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST), OFN_OVERWRITEPROMPT);
    }
    EXPECT_EQ(ui::SuggestedPagePath("C:\\sets.d\\A1"), "C:\\sets.d\\A1.html");
}

// Selects backup `line` as a click does, or a double-click with LBN_DBLCLK;
// the summary then shown.
std::string Select(HWND dialog, int line, WORD notice = LBN_SELCHANGE) {
    const HWND backups = GetDlgItem(dialog, SORRELWICK_BACKUP_LIST);
    SendMessageA(backups, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(SORRELWICK_BACKUP_LIST, notice),
                 reinterpret_cast<LPARAM>(backups));
    return WindowText(GetDlgItem(dialog, SORRELWICK_BACKUP_SUMMARY));
}
void ChooseFirst(HWND dialog) {
    Select(dialog, 0);
}
std::function<void(HWND)> Pressing(int id) {
    return [id](HWND dialog) { PressButton(dialog, id); };
}

class RestoreCommand : public MainWindowTest {
protected:
    // set1.DAT's backup 000 with a 32x32 texture, and backup 001 that is no
    // chess set.
    void SetUp() override {
        MainWindowTest::SetUp();
        WriteBackups();
    }
    void WriteBackups() {
        ASSERT_TRUE(WriteWoodSet(dir.File("set1.000"), gen::MakeTga(32, 32, 24)));
        ASSERT_TRUE(gen::WriteWholeFile(dir.File("set1.001"), {'n', 'o'}));
    }

    // Clicks Restore a backup... while `steps` act in the restore dialog;
    // records the lines it shows and whether Restore or Compare was enabled
    // before a line was chosen.
    void ClickRestore(const std::vector<std::function<void(HWND)>>& steps) {
        shown.clear();
        EXPECT_TRUE(ClickActing(SORRELWICK_RESTORE_BUTTON, [&](HWND dialog) {
            if (GetDlgItem(dialog, SORRELWICK_MOD_TITLE_EDIT)) return AnswerModDetails(dialog);
            const HWND backups = GetDlgItem(dialog, SORRELWICK_BACKUP_LIST);
            if (!backups) return;
            shown = ListLines(backups);
            RECT client = {};
            GetClientRect(backups, &client);
            // A backup's every column whole, the last one too, without
            // scrolling (the line of a file that is no set may be longer
            // than the screen is wide).
            const LONG first = DrawnWidth(backups, shown.front());
            linesWhole = first <= client.right;
            widths = std::to_string(first) + " in " + std::to_string(client.right);
            choiceEnabledAtFirst = IsWindowEnabled(GetDlgItem(dialog, IDOK)) ||
                                   IsWindowEnabled(GetDlgItem(dialog, SORRELWICK_COMPARE_BUTTON));
            for (const auto& step : steps) step(dialog);
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
        report::MemoryReportLog log;
        backup::RestoreBackup(state, number, &log);
        return {FilesIn(twin.Path()), log.Lines()};
    }
    Lines BackupLines() const {
        Lines lines;
        for (const auto& backup : backup::ListBackups(dir.File("set1.DAT"))
                                      .value_or(std::vector<backup::BackupInfo>{})) {
            lines.push_back(backup::BackupLine(backup));
        }
        return lines;
    }

    // Save changes as a mod asks for the title and author: records what the
    // fields held and gives them `modDetails`.
    void AnswerModDetails(HWND dialog) {
        const int fields[] = {SORRELWICK_MOD_TITLE_EDIT, SORRELWICK_MOD_AUTHOR_EDIT};
        for (std::size_t i = 0; i < 2; ++i) {
            detailsShown.push_back(WindowText(GetDlgItem(dialog, fields[i])));
            SetWindowTextW(GetDlgItem(dialog, fields[i]), Wide(modDetails[i]).c_str());
        }
        PressButton(dialog, IDOK);
    }

    Lines shown;
    Lines detailsShown;
    std::string modDetails[2] = {"Red <b>", "Ann"};
    bool choiceEnabledAtFirst = true;
    bool linesWhole = false;
    std::string widths;  // the lines' and the list's
};

// A chosen backup comes back as the restore operation brings it back, and
// the set is listed again; without a choice nothing changes.
TEST_F(RestoreCommand, ChosenBackupIsRestoredAndTheSetLoadedAgain) {
    const struct {
        const char* what;
        std::vector<std::function<void(HWND)>> steps;
        bool restores;
    } cases[] = {
        {"Restore", {ChooseFirst, Pressing(IDOK)}, true},
        {"double-click", {[](HWND d) { Select(d, 0, LBN_DBLCLK); }}, true},
        {"Restore without a line", {Pressing(IDOK), Pressing(IDCANCEL)}, false},
        {"Cancel after choosing", {ChooseFirst, Pressing(IDCANCEL)}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LoadSmallSet("set1.DAT");
        Click(SORRELWICK_CLEAR_BUTTON);
        const Lines backups = BackupLines();
        const FolderContents before = FilesIn(dir.Path());
        const auto [restored, restoreLines] = RestoredTwin(0);

        ClickRestore(c.steps);
        EXPECT_EQ(shown, backups);
        EXPECT_TRUE(linesWhole) << widths;
        EXPECT_FALSE(choiceEnabledAtFirst);
        EXPECT_EQ(FilesIn(dir.Path()), c.restores ? restored : before);
        const Lines listing =
            Framed("Loading set1.DAT", {report::TextureInfoLine("wood.tga", 32, 32, 24)});
        EXPECT_EQ(Report(), c.restores ? Joined(restoreLines, listing) : Lines{});
        ExpectLoaded("set1.DAT");
        std::filesystem::remove_all(dir.Path());
        std::filesystem::create_directory(dir.Path());
        WriteBackups();
    }
}

// Selecting a backup shows under the list how it differs from the set,
// worked out once while the dialog is open; Compare writes the whole
// comparison into the report and restores nothing.
TEST_F(RestoreCommand, ASelectedBackupIsSummedUpAndComparedOnRequest) {
    LoadSmallSet("set1.DAT");
    Click(SORRELWICK_CLEAR_BUTTON);
    const FolderContents before = FilesIn(dir.Path());
    Lines summaries, compared;
    ClickRestore({[&](HWND d) {
        summaries = {Select(d, 1), Select(d, 0)};
        SendMessageA(GetDlgItem(d, SORRELWICK_COMPARE_BUTTON), BM_CLICK, 0, 0);
        compared = Report();
        // Backup 000 becomes the set's twin; the summary shown stays.
        gen::WriteWholeFile(dir.File("set1.000"), gen::ReadWholeFile(dir.File("set1.DAT")));
        summaries.push_back(Select(d, 0));
        PressButton(d, IDCANCEL);
    }});
    EXPECT_EQ(summaries, (Lines{"Error - Bad file format. set1.001 isn't a proper Tessaravine "
                                "chess set.",
                                "1 texture differs from the current set",
                                "1 texture differs from the current set"}));
    EXPECT_EQ(compared,
              Framed("Comparing set1.DAT with set1.000",
                     {report::TextureInfoLine("wood.tga", 16, 32, 24, "changed: was 32x32 24 bits"),
                      "", "1 texture differs"}));
    FolderContents twin = before;
    twin["set1.000"] = twin["set1.DAT"];
    EXPECT_EQ(FilesIn(dir.Path()), twin);
    // Opened again, the dialog works the summary out anew.
    ClickRestore({[&](HWND d) { summaries = {Select(d, 0)}; }, Pressing(IDCANCEL)});
    EXPECT_EQ(summaries, Lines{"Same as the current set"});
}

// The restore dialog packs what changed since the selected backup into a
// mod, with the title and author asked for (the last ones given offered
// again); its page is titled with the mod's title. That mod, dropped on the
// window with a copy of the backup loaded, is applied after the question
// is answered, with its backup and lines.
TEST_F(RestoreCommand, ChangesSavedAsAModApplyWhenTheModIsDropped) {
    LoadSmallSet("set1.DAT");
    Click(SORRELWICK_CLEAR_BUTTON);
    const std::string mod = dir.File("my.zip");
    saveAnswer = mod;
    ClickRestore({ChooseFirst, Pressing(SORRELWICK_SAVE_MOD_BUTTON), Pressing(IDCANCEL)});
    const std::string changed = report::TextureInfoLine("wood.tga", 16, 32, 24, "packed: was 32x32 24 bits");
    EXPECT_EQ(Report(), Framed("Packing the changes of set1.DAT since set1.000 into " + mod,
                               {changed, "", "1 texture packed into " + mod}));
    ASSERT_EQ(saveRequests.size(), 1u);
    EXPECT_EQ(saveRequests[0].fileBuffer, "set1.zip");
    const std::optional<mod::ModFile> packed = mod::ReadModFile(mod);
    ASSERT_TRUE(packed);
    EXPECT_EQ(packed->manifest.title, "Red <b>");
    EXPECT_EQ(packed->manifest.author, "Ann");
    const std::vector<std::uint8_t> archive = gen::ReadWholeFile(mod);
    std::string page;
    const std::optional<std::vector<mod::ZipEntry>> entries = mod::ReadZipDirectory(archive);
    ASSERT_TRUE(entries);
    for (const mod::ZipEntry& entry : *entries) {
        if (entry.name != "preview.html") continue;
        const std::vector<std::uint8_t> bytes = mod::ExtractEntry(archive, entry).value();
        page.assign(bytes.begin(), bytes.end());
    }
    EXPECT_NE(page.find("<title>Red &lt;b&gt;</title>"), std::string::npos);
    // Asked again, the fields start with what was given; cancelled, nothing
    // is packed.
    ClickRestore({ChooseFirst, Pressing(SORRELWICK_SAVE_MOD_BUTTON), Pressing(IDCANCEL)});
    EXPECT_EQ(detailsShown, (Lines{"", "", "Red <b>", "Ann"}));

    ASSERT_TRUE(gen::WriteWholeFile(dir.File("twin.DAT"), gen::ReadWholeFile(dir.File("set1.000"))));
    Load(dir.File("twin.DAT"));
    Click(SORRELWICK_CLEAR_BUTTON);
    std::string question;
    EXPECT_TRUE(WhileActing(
        [&](HWND box) {
            question = WindowText(GetDlgItem(box, SORRELWICK_MOD_QUESTION_TEXT));
            PressButton(box, IDOK);
        },
        [&] { Drop(window, dir, {"my.zip"}); }));
    EXPECT_NE(question.find("to twin.DAT?"), std::string::npos) << question;
    EXPECT_EQ(gen::ReadWholeFile(dir.File("twin.DAT")), gen::ReadWholeFile(dir.File("set1.DAT")));
    const Lines applied = Framed("Applying the mod " + mod + " to twin.DAT",
                                 {report::TextureInfoLine("wood.tga", 16, 32, 24,
                                                          "Mod applied: was 32x32 24 bits"),
                                  "", "1 applied", "Original file renamed to twin.000"});
    EXPECT_EQ(Report(), Joined(applied, Framed("Loading twin.DAT",
                                               {report::TextureInfoLine("wood.tga", 16, 32, 24)})));
}

// With no set loaded the set is asked for first, a backup standing for its
// set; the restored set is then the loaded one.
TEST_F(RestoreCommand, WithoutALoadedSetTheChosenBackupNamesTheSet) {
    openAnswer = dir.File("set1.000");  // the set itself was lost
    const auto [restored, restoreLines] = RestoredTwin(0);
    ClickRestore({ChooseFirst, Pressing(IDOK)});
    EXPECT_EQ(shown, BackupLines());
    EXPECT_EQ(FilesIn(dir.Path()), restored);
    ExpectLoaded("set1.DAT");

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
