// A set's backups as listed: exactly the numbers the rotation would use, in
// order, each with its size, time and what the listing makes of it.

#include "backup/backup_listing.h"

#include <chrono>
#include <filesystem>
#include <tuple>

#include "backup/backup_names.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

TEST(ListBackups, EveryNumberedBackupWithWhatItHolds) {
    SetFolder folder(SetOf({{"a.tga", Image(2, 2, 24)}}).Bytes(), "set1.007");
    const Bytes two = SetOf({{"a.tga", Image(2, 2, 24)}, {"b.tga", Image(4, 4, 32)}}).Bytes();
    const Bytes cut = Cut(two, 5);
    const FolderContents others = {
        {"set1.999", two},  {"set1.000", cut}, {"set1.DAT", two},  // the last is no backup
        {"set1.0000", two}, {"set1.01", two},  {"set2.001", two}, {"set1.x01", two}};
    for (const auto& [name, bytes] : others) {
        ASSERT_TRUE(gen::WriteWholeFile(folder.dir.File(name), bytes));
    }
    std::filesystem::create_directory(folder.dir.Path() / "set1.500");
    const std::int64_t written = 1796607930;
    std::filesystem::last_write_time(
        folder.dir.Path() / "set1.999",
        std::chrono::file_clock::from_sys(std::chrono::sys_seconds{std::chrono::seconds{written}}));

    const auto backups = backup::ListBackups(folder.setPath);
    ASSERT_TRUE(backups);
    ASSERT_EQ(backups->size(), 3u);  // the set's own name, set1.007, is not its backup
    const auto facts = [](const backup::BackupInfo& b) {
        return std::make_tuple(b.number, b.fileName, b.size, b.textureCount, b.failure);
    };
    EXPECT_EQ(facts(backups->front()), std::make_tuple(0u, "set1.000", cut.size(), std::nullopt,
                                                       "Error - Could not read set1.000"));
    EXPECT_EQ(backups->front().path, folder.dir.File("set1.000"));
    EXPECT_EQ((*backups)[1].failure, "Error - Could not open set1.500");
    EXPECT_EQ(facts(backups->back()), std::make_tuple(999u, "set1.999", two.size(), 2u, ""));
    EXPECT_EQ(backups->back().modifiedUtc, written);
}

TEST(ListBackups, AFolderThatCantBeSearchedGivesNoList) {
    SetFolder folder;
    EXPECT_EQ(backup::ListBackups(platform::JoinPath(folder.dir.File("gone"), "set1.DAT")),
              std::nullopt);
    EXPECT_FALSE(backup::ReportBackups(ToolState{}, &folder.log));
    SetLoadedSet(folder.state, platform::JoinPath(folder.dir.File("gone"), "set1.DAT"));
    folder.log = {};
    EXPECT_FALSE(backup::ReportBackups(folder.state, &folder.log));
    EXPECT_EQ(folder.log.Lines(),
              Framed("Backups of set1.DAT", {"Error - Could not search the folder of set1.DAT"}));
}

// A file picked to restore from: a numbered backup stands for its set.
TEST(SetPathOfChosenFile, ABackupStandsForItsDatSet) {
    const struct {
        const char* chosen;
        const char* set;
    } cases[] = {
        {"C:\\sets\\A1.DAT", "C:\\sets\\A1.DAT"},     {"C:\\sets\\A1.000", "C:\\sets\\A1.DAT"},
        {"C:\\sets\\A1.x.999", "C:\\sets\\A1.x.DAT"}, {"C:\\sets\\A1.0001", "C:\\sets\\A1.0001"},
        {"C:\\sets\\A1.01", "C:\\sets\\A1.01"},       {"C:\\sets\\A1.1a2", "C:\\sets\\A1.1a2"},
        {"C:\\set.123\\A1", "C:\\set.123\\A1"},       {"A1.042", "A1.DAT"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(backup::SetPathOfChosenFile(c.chosen), c.set) << c.chosen;
    }
}

}  // namespace
}  // namespace sorrelwick::test
