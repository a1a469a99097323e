// The part of a read that decodes the setup bytes into the main dialog's controls.
#pragma once

#include "settings/settings.h"

namespace settings {

// Reads the settings of area after the identity checks have passed and shows them.
void showAreaSettings(SettingsContext& ctx, SettingsArea area);

}  // namespace settings
