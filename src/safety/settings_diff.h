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

// The label a settings control or log counter is known by ("Vollg. (ms)", "Schaltfrequenz:
// 7,8 kHz" for a radio button, "Senderausf."); empty for anything else.
std::string settingsFieldLabel(ui::ControlId id);

// text and blanks up to width characters (at least two blanks).
std::string padded(std::string text, std::size_t width);

// Every field with its value, one line each ("Vollg. (ms)              2.00"), the
// controller version first.
std::string settingsText(const SettingsBackup& settings);

// "Vollg. (ms): 2.00 → 1.90", one line per change.
std::string describeChange(const FieldChange& change);

}  // namespace safety
