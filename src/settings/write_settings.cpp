#include "settings/settings.h"

namespace settings {

void writeSettings(SettingsContext&, SettingsArea) {}

}  // namespace settings
