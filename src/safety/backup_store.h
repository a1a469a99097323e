// The automatic backups: the settings last read from a controller, saved before anything
// writes to it, one file per backup in <data folder>/backups, named by time and controller
// version ("2026-12-08T10-15-03_V-10.11-1F.json"). The content is opaque here; the caller
// formats it as a save-settings file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/safe_file.h"
#include "safety/calendar_time.h"
#include "ui/system_error.h"

namespace safety {

inline constexpr std::size_t backupsKept = 100;
// A save-settings file is a few KiB; anything far larger in the folder is not one of ours.
inline constexpr std::uintmax_t backupLimitBytes = 64 * 1024;

struct BackupEntry {
    std::filesystem::path path;
    CalendarTime time;
    int sequence = 1;         // 2, 3, … for further backups within the same second
    std::string versionText;  // as the name holds it: "V-10.11-1F"
};

struct BackupSaveResult {
    std::filesystem::path path;  // the new backup; empty when error is set
    ui::SystemError error;       // the backup was not written
    ui::SystemError pruneError;  // written, but an old backup could not be deleted
};

// The file name of a backup: time with "-" for ":" (Windows allows no colon), "-N" after
// the seconds from the second backup of a second on, the version with blanks as "-" and
// anything a file system might refuse as "_".
std::string backupFileName(const CalendarTime& time, std::string_view controllerVersionText,
                           int sequence = 1);
// A name of ours parsed back; nullopt for a foreign file.
std::optional<BackupEntry> parseBackupFileName(std::string_view fileName);

class BackupStore {
  public:
    // folder is the backups folder itself; it is created by the first save.
    explicit BackupStore(std::filesystem::path folder);
    // <dataFolder>/backups
    static BackupStore inDataFolder(const std::filesystem::path& dataFolder);

    const std::filesystem::path& folder() const { return m_folder; }

    // Never overwrites a backup: a name already taken gets the next sequence number. Only
    // after the new one is safely on the disk are the oldest deleted, down to backupsKept.
    [[nodiscard]] BackupSaveResult save(std::string_view content,
                                        std::string_view controllerVersionText,
                                        const CalendarTime& time,
                                        const base::AtomicWriteOptions& options = {}) const;

    // The backups, newest first; foreign files in the folder are passed over. A missing
    // folder is no backups, not an error.
    [[nodiscard]] std::vector<BackupEntry> list(ui::SystemError& error) const;

    // A backup's content, refused beyond backupLimitBytes.
    [[nodiscard]] static std::optional<std::string> load(const std::filesystem::path& path,
                                                         ui::SystemError& error);

  private:
    std::filesystem::path m_folder;
};

}  // namespace safety
