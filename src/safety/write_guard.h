// What stands between a command and the controller's memory: the settings last read are
// kept (no link traffic), saved as a backup before the first write, and in a dry run the
// writes are recorded instead of sent.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "adapter/link_context.h"
#include "safety/backup_store.h"
#include "safety/settings_backup.h"
#include "safety/settings_diff.h"
#include "ui/system_error.h"

namespace safety {

// One setup byte a command wrote, or in a dry run would have written.
struct SetupByteWrite {
    int address = 0;
    int before = -1;  // as the controller held it (a dry run reads it); -1 when not known
    int after = 0;
};

// What one command wrote or would have written.
struct CommandWrites {
    bool any = false;
    // The settings in the dialog when the first byte went out, against the last read.
    std::vector<FieldChange> fields;
    std::vector<SetupByteWrite> setupBytes;  // one per address, in the order first written
    int flashBytes = 0;
    int flashPages = 0;

    // The setup bytes whose value a write changes.
    std::vector<SetupByteWrite> changedBytes() const;
};

struct BackupAttempt {
    bool taken = false;          // a backup of the last read is on the disk
    std::filesystem::path path;  // that backup
    std::string failure;         // why none could be taken; empty when nothing was read
};

class WriteGuard : public adapter::WriteGate {
  public:
    // Reads the settings the dialog shows, at read time and at the first write.
    using SettingsSnapshot = std::function<SettingsBackup()>;
    explicit WriteGuard(SettingsSnapshot snapshot);

    // The backups folder; nullopt with the reason when the data folder is unknown. Without
    // a call no backups are taken (tests of other modules).
    void setBackupFolder(std::optional<std::filesystem::path> folder, std::string whyNot = {});
    // <data folder>/backups (its subfolder virtual while the virtual controller is in
    // use, so that trying things out never prunes a real controller's backups), or
    // nullopt without a data folder.
    std::optional<std::filesystem::path> backupFolder() const;
    void setVirtualController(bool selected) { m_virtual = selected; }
    // Told once per failed backup; the write goes on.
    void setFailureReporter(std::function<void(const std::string&)> report);

    void setDryRun(bool dryRun) { m_dryRun = dryRun; }
    bool dryRun() const { return m_dryRun; }

    // A read finished: these are now the controller's settings.
    void rememberRead();
    const std::optional<SettingsBackup>& lastRead() const { return m_lastRead; }
    // Saves the last read unless that is on the disk already. No read: nothing taken and
    // no failure.
    BackupAttempt ensureBackup();
    // The backup taken of the settings the last write started from.
    const std::filesystem::path& lastBackupPath() const { return m_lastBackupPath; }

    // A new command: its writes are recorded afresh. settingsWrite: it writes the main
    // dialog's settings, so its fields are told apart from the last read.
    void beginCommand(bool settingsWrite = false);
    const CommandWrites& commandWrites() const { return m_writes; }

    bool beforeSetupWrite(adapter::LinkContext& ctx, int address, int value) override;
    bool beforeFlashWrite(int offset, int value) override;
    bool beforeFlashCommit(int page) override;
    void afterSetupRead(int address, int value) override;

  private:
    void firstWrite();
    // The backup on the disk lacks a sub-dialog byte that is about to change.
    bool backupLacks(int address) const;

    SettingsSnapshot m_snapshot;
    bool m_backupsEnabled = false;
    std::optional<std::filesystem::path> m_folder;
    std::string m_folderProblem;
    std::function<void(const std::string&)> m_report;
    bool m_dryRun = false;
    std::optional<SettingsBackup> m_lastRead;
    bool m_lastReadSaved = false;
    std::filesystem::path m_lastBackupPath;
    // The sub-dialogs' bytes as the controller holds them, and those the backup holds.
    std::map<int, int> m_subDialogBytes;
    std::vector<settings::SetupByte> m_savedBytes;
    bool m_virtual = false;
    // The write about to go out is a sub-dialog's: its backup carries their bytes.
    bool m_subDialogWrite = false;
    CommandWrites m_writes;
    bool m_settingsWrite = false;
};

}  // namespace safety
