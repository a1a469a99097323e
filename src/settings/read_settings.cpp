#include "settings/settings.h"

namespace settings {

void readSettings(SettingsContext&, SettingsArea) {}

}  // namespace settings
