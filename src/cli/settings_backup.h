// The settings backup format lives in the shell, which the desktop program shares; the
// command line's steps use it under their old names.
#pragma once

#include "cli/json.h"
#include "safety/settings_backup.h"

namespace cli {

using safety::applyBackup;
using safety::BackupControl;
using safety::backupFormatName;
using safety::backupFormatVersion;
using safety::BackupRead;
using safety::backupToJson;
using safety::maxBackupFileBytes;
using safety::maxBackupTextBytes;
using safety::parseBackup;
using safety::readBackupFile;
using safety::SettingsBackup;
using safety::settingsControlIds;
using safety::takeBackup;
using safety::versionFamilyNumber;
using safety::writeBackupFile;

}  // namespace cli
