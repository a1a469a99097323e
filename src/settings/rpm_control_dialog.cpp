#include "settings/settings.h"

namespace settings {

void openRpmControl(SettingsContext&) {}

}  // namespace settings
