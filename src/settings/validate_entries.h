// Checking the main dialog's entries before anything is written.
#pragma once

#include <array>
#include <optional>

#include "settings/settings.h"

namespace settings {

// What the write sequence stores besides the values kept in SetupImage.
struct ValidatedEntries {
    int timingIndex = 0;  // 0..5, 5 = "auto"
    int brakeIndex = 0;   // 0..3
    int controlSpeed = 0;
    int frequencyCode = 0;
    int underVoltageMode = 0;
    int tolerance = 0;                 // current area: 1..3
    std::array<int, 4> counters = {};  // current area: 1177, 1178, 1179, 1192
};

// Runs every check in order. A refusal has shown its message and set the status field;
// the result is then empty. Sets fullThrottleMs, stopMs, neutralMs (reduced),
// thresholdCode and startPower in the image; for the model memories it also blanks the
// current-area-only controls.
std::optional<ValidatedEntries> validateEntries(SettingsContext& ctx, SettingsArea area);

}  // namespace settings
