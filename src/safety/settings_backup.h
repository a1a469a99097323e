// A backup of the main dialog's settings controls as a JSON file: taken after a read,
// put back into the controls before a write. The log counters, the status and the
// read-only fields are not settings and stay as the last read left them.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/json.h"
#include "settings/setup_image.h"
#include "ui/dialog.h"

namespace safety {

inline constexpr std::string_view backupFormatName = "zek-setup settings backup";
inline constexpr int backupFormatVersion = 1;
// A backup is a few kilobytes; anything far larger is not one.
inline constexpr std::size_t maxBackupFileBytes = 64 * 1024;
inline constexpr std::size_t maxBackupTextBytes = 32;

struct BackupControl {
    ui::ControlId id = 0;
    std::string text;      // edits
    bool checked = false;  // check boxes and radio buttons
    int selection = -1;    // lists
};

struct SettingsBackup {
    std::string versionText;  // "V 10.11-1F", as the version field showed it
    int family = 0;           // 1 or 3: the high nibble of the controller version
    // Values no control shows, which a write stores unchanged: the threshold while
    // "ignorieren" is checked, the timing byte while "auto" is selected.
    int thresholdCode = 255;
    int timingCode = 0;
    // One per control of resources::settingsFields(), in that order.
    std::vector<BackupControl> controls;
    // The bytes only the sub-dialogs show (lock byte, RPM limit, P and I) as the
    // controller held them before a write; empty when none was known.
    std::vector<settings::SetupByte> setupBytes;
};

// The control id in backup, or nullptr.
const BackupControl* findControl(const SettingsBackup& backup, ui::ControlId id);

// The setup bytes a backup may carry besides the controls.
std::span<const int> subDialogAddresses();

// The family a controller version belongs to (1 or 3; 0 for anything else).
int versionFamilyNumber(const settings::SetupImage& image);

SettingsBackup takeBackup(const ui::Dialog& mainDialog, const settings::SetupImage& image);
base::json::Value backupToJson(const SettingsBackup& backup);

struct BackupRead {
    std::optional<SettingsBackup> backup;
    std::string error;  // why the text is not a settings backup
};

// Refuses anything but a complete, consistent backup of this format.
BackupRead parseBackup(std::string_view text);
BackupRead readBackupFile(const std::string& path);
// Empty on success, else the reason.
std::string writeBackupFile(const std::string& path, const SettingsBackup& backup);

// Puts the values into the controls as the user would have typed and clicked them; no
// command runs. The caller has checked the family.
void applyBackup(const SettingsBackup& backup, ui::Dialog& mainDialog, settings::SetupImage& image);

// The main dialog as initialisation leaves it: the lists hold their entries, the buttons
// their texts.
const ui::Dialog& referenceDialog();

}  // namespace safety
