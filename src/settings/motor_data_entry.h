// The motor-gearbox fields (pole count, gear ratio) that the RPM control and rev counter
// dialogs share: showing the stored values and taking a new entry.
#pragma once

#include <string_view>

#include "config/motor_data.h"
#include "settings/settings.h"
#include "ui/dialog.h"

namespace settings::subdialogs {

struct MotorDataFields {
    ui::ControlId poleCount;
    ui::ControlId gearRatio;
};

// Loads the motor data from qvsetup.cfg, shows it (the pole count with "%2d", the ratio
// with "%1.2f") and repaints the dialog.
void loadAndShowMotorData(SettingsContext& ctx, ui::Dialog& dialog, MotorDataFields fields);

enum class MotorEntryError {
    None,
    PoleCountNotAllowed,  // 0, negative or no number
    PoleCountOdd,
    PoleCountTooLarge,
    GearRatioNotAllowed,  // negative, or a value that would not read back as typed
};

struct MotorEntry {
    MotorEntryError error = MotorEntryError::None;
    config::MotorData data;
    // No ratio (or 0): 1.0 is stored and the field shows "   1".
    bool ratioDefaulted = false;
};

// Checks what the two fields hold; data is meaningful only without error.
MotorEntry readMotorEntry(std::string_view poleCountText, std::string_view gearRatioText);

// "Werte speichern" / "Werte übernehmen": checks the entry and stores it in memory and in
// qvsetup.cfg. A refused entry changes neither (Refused); a file that cannot be written
// is Failed.
ui::Outcome saveMotorData(SettingsContext& ctx, ui::Dialog& dialog, MotorDataFields fields);

}  // namespace settings::subdialogs
