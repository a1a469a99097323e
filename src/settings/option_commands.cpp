#include "settings/settings.h"

namespace settings {

void handleOptionCommand(SettingsContext&, ui::ControlId) {}

}  // namespace settings
