#include "safety/backup_store.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <tuple>

#include "config/temp_directory.h"
#include "safety/calendar_time.h"

namespace {

namespace fs = std::filesystem;
using safety::CalendarTime;
using testing_support::TempDirectory;

constexpr CalendarTime morning{2026, 12, 8, 10, 15, 3};

// Distinct, increasing times: one save per minute from 10:00:03 on.
CalendarTime savedAt(int minutes) {
    CalendarTime time = morning;
    time.hour = 10 + minutes / 60;
    time.minute = minutes % 60;
    return time;
}

TEST(BackupNames, SafeOnEveryFileSystemAndParsedBack) {
    const std::tuple<const char*, int, const char*, const char*> cases[] = {
        {"V 10.11-1F", 1, "2026-12-08T10-15-03_V-10.11-1F.json", "V-10.11-1F"},
        {"V 10.11-1F", 3, "2026-12-08T10-15-03-3_V-10.11-1F.json", "V-10.11-1F"},
        {"V 3:12/\\*?\"<>|", 1, "2026-12-08T10-15-03_V-3_12________.json", "V-3_12________"},
        {"", 1, "2026-12-08T10-15-03_unknown.json", "unknown"},
        {"V 1.", 1, "2026-12-08T10-15-03_V-1_.json", "V-1_"},
    };
    for (const auto& [version, sequence, name, versionText] : cases) {
        EXPECT_EQ(safety::backupFileName(morning, version, sequence), name);
        const auto entry = safety::parseBackupFileName(name);
        ASSERT_TRUE(entry.has_value()) << name;
        EXPECT_EQ(std::tie(entry->time, entry->sequence, entry->versionText),
                  std::tie(morning, sequence, versionText));
    }
    // Leap days every fourth year and every four hundredth, a leap second, midnight.
    for (const char* name : {"2024-02-29T10-15-03_V.json", "2000-02-29T10-15-03_V.json",
                             "2026-12-31T23-59-60_V.json", "2026-01-01T00-00-00_V.json"}) {
        EXPECT_TRUE(safety::parseBackupFileName(name).has_value()) << name;
    }
}

// The local time of a moment is its calendar's: noon in mid-June stays in its year and
// month whatever the time zone.
TEST(BackupNames, TakeTheLocalCalendarTime) {
    const safety::CalendarTime time = safety::localCalendarTime(
        std::chrono::system_clock::from_time_t(1'623'758'400));  // 2021-06-15 12:00 UTC
    EXPECT_EQ(std::tie(time.year, time.month), std::make_tuple(2021, 6));
    EXPECT_TRUE(time.day >= 14 && time.day <= 16) << time.day;
}

TEST(BackupNames, ForeignNamesAreRefused) {
    // clang-format off
    for (const char* name : {"notes.txt", "2026-12-08T10-15-03_V-10.11-1F.json.tmp",
             ".2026-12-08T10-15-03_V-10.11-1F.json.tmp123-0-1", "2026-12-08T10-15-03_.json",
             "2026-13-08T10-15-03_V.json", "2026-02-30T10-15-03_V.json",
             "2023-02-29T10-15-03_V.json", "2100-02-29T10-15-03_V.json",
             "2026-12-08T24-15-03_V.json", "2026-12-08T10-60-03_V.json",
             "2026-12-08T10-15-61_V.json", "2026-12-08T10:15:03_V.json",
             "2026-12-08T10-15-03-1_V.json", "2026-12-08T10-15-03-02_V.json",
             "2026-12-08T10-15-03-_V.json", "2026-12-08T10-15-03V.json",
             "2026-12-08T10-15-03_V 1.json"}) {  // clang-format on
        EXPECT_FALSE(safety::parseBackupFileName(name).has_value()) << name;
    }
}

TEST(BackupStore, SavesNeverOverwriteAndListNewestFirst) {
    TempDirectory data;
    const safety::BackupStore store = safety::BackupStore::inDataFolder(data.path());
    EXPECT_EQ(store.folder(), data / "backups");

    ui::SystemError error;
    EXPECT_TRUE(store.list(error).empty());  // no folder yet is no backups
    EXPECT_TRUE(error.empty());

    std::vector<fs::path> saved;
    for (const char* content : {"first", "second", "third"}) {
        const auto result = store.save(content, "V 10.11-1F", morning);
        ASSERT_TRUE(result.error.empty()) << result.error.describe();
        saved.push_back(result.path.filename());
    }
    EXPECT_EQ(saved, (std::vector<fs::path>{"2026-12-08T10-15-03_V-10.11-1F.json",
                                            "2026-12-08T10-15-03-2_V-10.11-1F.json",
                                            "2026-12-08T10-15-03-3_V-10.11-1F.json"}));
    saved.push_back(store.save("later", "V 3.01-0A", savedAt(16)).path.filename());

    const std::vector<safety::BackupEntry> entries = store.list(error);
    ASSERT_TRUE(error.empty()) << error.describe();
    std::vector<fs::path> listed;
    for (const safety::BackupEntry& entry : entries) {
        listed.push_back(entry.path.filename());
    }
    EXPECT_EQ(listed, std::vector<fs::path>(saved.rbegin(), saved.rend()));
    const auto content = safety::BackupStore::load(entries[3].path, error);
    ASSERT_TRUE(content.has_value()) << error.describe();
    EXPECT_EQ(*content, "first");
}

TEST(BackupStore, KeepsTheNewestHundredOfItsOwnAndAFailedSaveDeletesNothing) {
    TempDirectory data;
    const safety::BackupStore store(data / "backups");
    fs::create_directories(store.folder());
    // Foreign files, one of them with an old time that would sort first if it were ours.
    data.write("backups/notes.txt", "mine");
    data.write("backups/2000-01-01T00-00-00_V 1.json", "not quite ours");
    fs::create_directory(store.folder() / "2000-01-01T00-00-00_V.json");

    for (int minute = 0; minute <= 100; ++minute) {
        const auto saved =
            store.save("save " + std::to_string(minute), "V 10.11-1F", savedAt(minute));
        ASSERT_TRUE(saved.error.empty()) << saved.error.describe();
        ASSERT_TRUE(saved.pruneError.empty()) << saved.pruneError.describe();
    }
    ui::SystemError error;
    const std::vector<safety::BackupEntry> entries = store.list(error);
    ASSERT_EQ(entries.size(), safety::backupsKept);
    EXPECT_EQ(entries.front().time, savedAt(100));
    EXPECT_EQ(entries.back().time, savedAt(1));  // only the oldest went
    EXPECT_EQ(*safety::BackupStore::load(entries.front().path, error), "save 100");
    EXPECT_TRUE(fs::exists(store.folder() / "notes.txt"));
    EXPECT_TRUE(fs::exists(store.folder() / "2000-01-01T00-00-00_V 1.json"));
    EXPECT_TRUE(fs::is_directory(store.folder() / "2000-01-01T00-00-00_V.json"));
    EXPECT_EQ(data.names("backups").size(), safety::backupsKept + 3);

    // A failed save deletes nothing and leaves no temporary behind.
    base::AtomicWriteOptions fullDisk;
    fullDisk.writeAll = [](int, std::string_view) { return ENOSPC; };
    const auto failed = store.save("new", "V 10.11-1F", savedAt(200), fullDisk);
    EXPECT_EQ(std::tie(failed.error.code, failed.error.reason),
              std::tuple(ENOSPC, std::string(std::strerror(ENOSPC))));
    EXPECT_TRUE(failed.path.empty());
    EXPECT_EQ(store.list(error).back().time, savedAt(1));
    EXPECT_EQ(data.names("backups").size(), safety::backupsKept + 3);
}

// A backup too large to load is not saved either.
TEST(BackupStore, ASaveTooLargeToLoadIsRefused) {
    TempDirectory data;
    const safety::BackupStore store(data / "backups");
    const auto saved = store.save(std::string(safety::backupLimitBytes + 1, ' '), "V 1", morning);
    EXPECT_EQ(saved.error.code, EFBIG);
    EXPECT_FALSE(fs::exists(store.folder()));
}

}  // namespace
