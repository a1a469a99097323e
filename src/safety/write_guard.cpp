#include "safety/write_guard.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "base/json.h"
#include "link/link.h"

namespace safety {

std::vector<SetupByteWrite> CommandWrites::changedBytes() const {
    std::vector<SetupByteWrite> changed;
    std::copy_if(setupBytes.begin(), setupBytes.end(), std::back_inserter(changed),
                 [](const SetupByteWrite& byte) { return byte.before != byte.after; });
    return changed;
}

WriteGuard::WriteGuard(SettingsSnapshot snapshot) : m_snapshot(std::move(snapshot)) {}

void WriteGuard::setBackupFolder(std::optional<std::filesystem::path> folder, std::string whyNot) {
    m_backupsEnabled = true;
    m_folder = std::move(folder);
    m_folderProblem = std::move(whyNot);
}

std::optional<std::filesystem::path> WriteGuard::backupFolder() const {
    if (!m_folder) {
        return std::nullopt;
    }
    const std::filesystem::path folder = BackupStore::inDataFolder(*m_folder).folder();
    return m_virtual ? folder / "virtual" : folder;
}

void WriteGuard::setFailureReporter(std::function<void(const std::string&)> report) {
    m_report = std::move(report);
}

void WriteGuard::rememberRead() {
    m_lastRead = m_snapshot();
    m_lastReadSaved = false;
}

BackupAttempt WriteGuard::ensureBackup() {
    BackupAttempt attempt;
    if (!m_lastRead || !m_backupsEnabled) {
        return attempt;
    }
    if (m_lastReadSaved) {
        attempt.taken = true;
        attempt.path = m_lastBackupPath;
        return attempt;
    }
    if (!m_folder) {
        attempt.failure = m_folderProblem.empty() ? "no data folder" : m_folderProblem;
    } else {
        SettingsBackup backup = *m_lastRead;
        for (const auto& [address, value] : m_subDialogBytes) {
            if (m_subDialogWrite) {
                backup.setupBytes.push_back({address, value});
            }
        }
        const BackupSaveResult saved =
            BackupStore(*backupFolder())
                .save(base::json::write(backupToJson(backup)), backup.versionText,
                      localCalendarTime(std::chrono::system_clock::now()));
        if (saved.error.empty()) {
            m_lastReadSaved = true;
            m_savedBytes = backup.setupBytes;
            m_lastBackupPath = saved.path;
            attempt.taken = true;
            attempt.path = saved.path;
            return attempt;
        }
        attempt.failure = saved.error.describe();
    }
    if (m_report) {
        m_report(attempt.failure);
    }
    return attempt;
}

void WriteGuard::beginCommand(bool settingsWrite) {
    m_writes = CommandWrites{};
    m_settingsWrite = settingsWrite;
}

void WriteGuard::firstWrite() {
    if (m_writes.any) {
        return;
    }
    m_writes.any = true;
    if (m_lastRead && m_settingsWrite) {
        m_writes.fields = diffSettings(*m_lastRead, m_snapshot());
    }
    // A dry run sends nothing, so there is nothing to come back from.
    if (!m_dryRun) {
        (void)ensureBackup();
    }
}

bool WriteGuard::backupLacks(int address) const {
    return m_lastReadSaved &&
           std::ranges::find(m_savedBytes, address, &settings::SetupByte::address) ==
               m_savedBytes.end();
}

void WriteGuard::afterSetupRead(int address, int value) {
    if (std::ranges::count(subDialogAddresses(), address) != 0) {
        m_subDialogBytes[address] = value;
    }
}

bool WriteGuard::beforeSetupWrite(adapter::LinkContext& ctx, int address, int value) {
    m_subDialogWrite = std::ranges::count(subDialogAddresses(), address) != 0;
    if (!m_dryRun && m_lastRead && m_subDialogWrite) {
        // The sub-dialogs read their bytes when they open; a byte never seen is read now,
        // so that the backup can give it back.
        if (!m_subDialogBytes.contains(address)) {
            (void)clink::readSetupByte(ctx, address);
        }
        if (backupLacks(address)) {
            m_lastReadSaved = false;
            if (m_writes.any) {
                (void)ensureBackup();
            }
        }
    }
    firstWrite();
    const auto known = std::ranges::find(m_writes.setupBytes, address, &SetupByteWrite::address);
    if (known != m_writes.setupBytes.end()) {
        known->after = value;
    } else {
        // Only a dry run asks: a real write must keep its own sequence on the link.
        const int before = m_dryRun ? clink::readSetupByte(ctx, address) & 0xFF : -1;
        m_writes.setupBytes.push_back({address, before, value});
    }
    if (!m_dryRun && m_subDialogBytes.contains(address)) {
        m_subDialogBytes[address] = value;
    }
    return !m_dryRun;
}

bool WriteGuard::beforeFlashWrite(int /*offset*/, int /*value*/) {
    firstWrite();
    ++m_writes.flashBytes;
    return !m_dryRun;
}

bool WriteGuard::beforeFlashCommit(int /*page*/) {
    ++m_writes.flashPages;
    return !m_dryRun;
}

}  // namespace safety
