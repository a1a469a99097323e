#include "settings/settings.h"

namespace settings {

void openRevCounter(SettingsContext&) {}

}  // namespace settings
