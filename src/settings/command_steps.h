// Steps the main dialog's settings commands share: progress in the status field,
// refusals and the failure ending.
#pragma once

#include <string_view>

#include "settings/settings.h"

namespace settings {

inline constexpr std::string_view readFirstText = "Zuerst Werte einlesen!";

// messageText = message, then the shared failure ending.
void failThroughErrorTail(SettingsContext& ctx, std::string_view message);
// "Zuerst Werte einlesen!" in a box without owner.
void refuseBeforeRead(SettingsContext& ctx);
// A box owned by the main dialog.
void showOwnedMessage(SettingsContext& ctx, std::string_view message, std::string_view caption);
// After a model memory was read or written: the current-area-only controls are
// blanked and disabled, and "Schreiben" with them.
void blankCurrentOnlyControls(ui::Dialog& dialog, std::string_view maxFrequencyText);

}  // namespace settings
