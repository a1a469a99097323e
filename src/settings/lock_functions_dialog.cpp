#include "settings/settings.h"

namespace settings {

void openLockFunctions(SettingsContext&) {}

}  // namespace settings
