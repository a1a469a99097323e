// The settings backup format lives in the shell, which the desktop program shares; the
// command line's steps use it under their old names.
#pragma once

#include "cli/json.h"
#include "shell/settings_backup.h"

namespace cli {

using shell::applyBackup;
using shell::BackupControl;
using shell::backupFormatName;
using shell::backupFormatVersion;
using shell::BackupRead;
using shell::backupToJson;
using shell::maxBackupFileBytes;
using shell::maxBackupTextBytes;
using shell::parseBackup;
using shell::readBackupFile;
using shell::SettingsBackup;
using shell::settingsControlIds;
using shell::takeBackup;
using shell::versionFamilyNumber;
using shell::writeBackupFile;

}  // namespace cli
