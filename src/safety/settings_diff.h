// The differences between two sets of settings, field by field, as the user knows the
// fields: by the label beside them in the main dialog.
#pragma once

#include <string>
#include <vector>

#include "safety/settings_backup.h"

namespace safety {

struct FieldChange {
    std::string label;   // "Vollg. (ms)", "Schaltfrequenz"
    std::string before;  // "2.00", "7,8 kHz", "on"
    std::string after;
};

// A radio group counts as one field, its value the checked button's text; the values no
// control shows (the threshold and timing codes) count when they differ.
std::vector<FieldChange> diffSettings(const SettingsBackup& before, const SettingsBackup& after);

// "Vollg. (ms): 2.00 → 1.90", one line per change.
std::string describeChange(const FieldChange& change);

}  // namespace safety
